#pragma once

#include <string>

#include "platform/unique_fd.h"

namespace tandrin {

// A pseudo-terminal whose slave side stands in for a serial device. The
// owner works the master side; programs open SlavePath() like a port.
//
// The pair keeps a slave descriptor of its own: while no one holds the
// slave, reads on the master fail with EIO, and a program that opens and
// closes the port often (probing, Stop) would make the owner see errors.
class PtyPair {
  public:
    PtyPair() = default;

    // Creates the pair with the slave in raw HART line settings and the
    // master non-blocking. False with `error` set on failure.
    bool Open(std::string& error);
    bool IsOpen() const { return m_master.Valid(); }
    int MasterFd() const { return m_master.Get(); }
    const std::string& SlavePath() const { return m_slavePath; }
    // Closes both sides for real: whoever holds the slave sees a hang-up.
    void Close();

  private:
    UniqueFd m_master;
    UniqueFd m_slave;
    std::string m_slavePath;
};

}  // namespace tandrin
