#pragma once

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tandrin::test {

// The --trace lines of a run, read from the file standard error went to.
inline std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The data bytes of every traced frame of `command` in one direction
// ("request" or "reply"), in order; a reply's data begin after its two
// status bytes.
inline std::vector<std::vector<std::uint8_t>> TracedData(const std::string& trace, int command,
                                                         const std::string& direction) {
    std::vector<std::vector<std::uint8_t>> frames;
    const std::string tag = "| cmd " + std::to_string(command) + " " + direction;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t bar = line.find(tag);
        if (bar == std::string::npos) {
            continue;
        }
        std::istringstream words(line.substr(0, bar));
        std::string word;
        words >> word >> word;  // time and TX or RX
        std::vector<std::uint8_t> bytes;
        while (words >> word) {
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(word, nullptr, 16)));
        }
        std::size_t at = 0;
        while (at < bytes.size() && bytes[at] == 0xFF) {
            ++at;
        }
        if (at >= bytes.size()) {
            continue;
        }
        at += (bytes[at] & 0x80) != 0 ? 6 : 2;  // delimiter and address
        if (at + 2 > bytes.size()) {
            continue;
        }
        const std::size_t count = bytes[at + 1];
        at += 2;
        const std::size_t skip = direction == "reply" ? 2 : 0;
        if (at + count > bytes.size() || count < skip) {
            continue;
        }
        frames.emplace_back(bytes.begin() + static_cast<long>(at + skip),
                            bytes.begin() + static_cast<long>(at + count));
    }
    return frames;
}

}  // namespace tandrin::test
