// Request frames out, response frames in.
#include <algorithm>
#include <cstring>

#include "device/command_requests.h"
#include "device/command_responses.h"
#include "device/response_codes.h"
#include "link/hart_frame.h"
#include "link/hart_master.h"

namespace tandrin {

namespace {
constexpr std::size_t kPreambleLength = 10;
constexpr std::size_t kAddressOffset = 11;
constexpr std::size_t kLongCommandOffset = 16;
constexpr std::size_t kLongDataOffset = 18;
constexpr std::size_t kMinScanBytes = 16;
// Up to ten noise bytes may come before the preamble: its first 0xFF lies
// at index 10 at the latest.
constexpr std::size_t kPreambleWindow = 11;
constexpr std::size_t kDelimiterLimit = 40;
// Where the response code sits in a short and in a long response frame.
constexpr std::size_t kShortStatusOffset = 4;
constexpr std::size_t kLongStatusOffset = 8;
}  // namespace

void HartMaster::BuildShortFrame() {
    std::fill_n(m_abyTxFrame.begin(), kPreambleLength, kPreambleByte);
    m_abyTxFrame[10] = kRequestShort;
    m_abyTxFrame[11] = static_cast<std::uint8_t>(0x80 + m_byPollAddr);
    m_abyTxFrame[12] = 0x00;
    m_abyTxFrame[13] = 0x00;
    FinishFrame(14);
}

void HartMaster::BuildLongHeader() {
    std::fill_n(m_abyTxFrame.begin(), kPreambleLength, kPreambleByte);
    m_abyTxFrame[10] = kRequestLong;
    std::copy(m_abyLongAddr.begin(), m_abyLongAddr.end(), m_abyTxFrame.begin() + kAddressOffset);
}

void HartMaster::FinishFrame(int end) {
    const auto at = static_cast<std::size_t>(end);
    m_abyTxFrame[at] = XorChecksum(&m_abyTxFrame[10], at - 10);
    m_abyTxFrame[at + 1] = kPreambleByte;
    m_abyTxFrame[at + 2] = kPreambleByte;
    m_nTxLength = end + 3;
}

void HartMaster::BuildRequest(std::uint8_t command) {
    if (command == 0) {
        BuildShortFrame();
        return;
    }
    std::uint8_t data[kMaxRequestData];
    const int length = BuildRequestData(command, *this, data);
    if (length < 0) {
        m_nTxLength = 0;  // nothing the tool can send
        return;
    }
    BuildLongHeader();
    m_abyTxFrame[kLongCommandOffset] = command;
    m_abyTxFrame[kLongCommandOffset + 1] = static_cast<std::uint8_t>(length);
    std::copy_n(data, length, m_abyTxFrame.begin() + kLongDataOffset);
    FinishFrame(static_cast<int>(kLongDataOffset) + length);
}

void HartMaster::AppendReceived(const std::uint8_t* bytes, std::size_t length) {
    if (m_trace) {
        m_trace(false, bytes, length);
    }
    std::lock_guard<std::mutex> lock(m_rxMutex);
    if (m_bReceiving.load(std::memory_order_relaxed) == 0) {
        return;
    }
    const std::size_t take = std::min<std::size_t>(length, kRxLimit - m_byRxCount);
    std::copy_n(bytes, take, m_abyRxBuffer.begin() + m_byRxCount);
    m_byRxCount = static_cast<std::uint8_t>(m_byRxCount + take);
    // Once a frame has been accepted it stays accepted for this send: a
    // response restored across a retry must not be lowered by a later scan.
    if (ScanResponse()) {
        m_bResponseOK.store(1, std::memory_order_release);
    }
}

bool HartMaster::ScanResponse() {
    const std::size_t count = m_byRxCount;
    if (count < kMinScanBytes) {
        return false;
    }
    const auto header = FindFrameHeader(m_abyRxBuffer.data(), count, kResponseShort,
                                        kPreambleWindow, kDelimiterLimit);
    if (!header) {
        return false;
    }
    m_byResponseCmd = header->command;
    m_byRxByteCount = header->byteCount;
    if (header->body >= count) {
        return false;  // response code not here yet
    }
    if (ClassifyResponse(m_abyRxBuffer[header->body]) == ResponseClass::kRetry) {
        return false;  // garbled request or busy: keep listening, the engine retries
    }
    if (!FrameComplete(*header, count)) {
        return false;
    }
    const std::uint8_t* frame = &m_abyRxBuffer[header->delimiter];
    if (XorChecksum(frame, header->frameLength) != 0) {
        return false;
    }
    m_abyRxFrame.fill(0);
    std::copy_n(frame, header->frameLength, m_abyRxFrame.begin());
    // One frame per send: whatever the dispatch decides, reception ends.
    m_bReceiving.store(0, std::memory_order_release);
    return DispatchResponse();
}

bool HartMaster::DispatchResponse() {
    if (m_byResponseCmd != m_byRequestCmd) {
        return false;
    }
    // The parsers read command 0 with the short layout and every other
    // command with the long one; the other form would be read at the
    // wrong offsets.
    const std::uint8_t expected = m_byResponseCmd == 0 ? kResponseShort : kResponseLong;
    if (m_abyRxFrame[0] != expected) {
        return false;
    }
    return JudgeReply(expected == kResponseShort ? kShortStatusOffset : kLongStatusOffset);
}

bool HartMaster::JudgeReply(std::size_t statusAt) {
    if (m_byRxByteCount < 2) {
        return false;  // no room for the two status bytes
    }
    const std::uint8_t code = m_abyRxFrame[statusAt];
    const ResponseClass judged = ClassifyResponse(code);
    if (judged == ResponseClass::kRetry) {
        return false;
    }
    if (judged == ResponseClass::kRefusal) {
        // An answer all the same: nothing to parse, no reason to ask again.
        m_byDeviceStatus = m_abyRxFrame[statusAt + 1];
        m_outcome = {ReplyKind::kRefused, m_byResponseCmd, code};
        return true;
    }
    if (!ParseResponse(m_byResponseCmd, m_byRxByteCount, m_abyRxFrame.data(), *this)) {
        return false;
    }
    m_byDeviceStatus = m_abyRxFrame[statusAt + 1];
    const ReplyKind kind =
        judged == ResponseClass::kWarning ? ReplyKind::kWarning : ReplyKind::kSuccess;
    m_outcome = {kind, m_byResponseCmd, code};
    return true;
}

}  // namespace tandrin
