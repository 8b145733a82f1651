#include "sim/uart_k55_chip.h"

namespace qv::sim {

namespace {

constexpr BYTE kErase = 0x98;
constexpr BYTE kWritePage = 0x96;
constexpr BYTE kReadPage = 0x83;
constexpr BYTE kPassword = 0x9A;
constexpr BYTE kLeave = 0x99;
constexpr BYTE kEnd = 0xB5;
constexpr BYTE kAccepted = 0xAA;

std::size_t ByteAddress(const BYTE* word) { return ReadBigEndian16(word) * 2u; }

}  // namespace

UartK55Chip::UartK55Chip(u32 password, std::size_t flashSize)
    : UartChip(flashSize, kPageBytes), m_nPassword(password) {}

std::vector<BYTE> UartK55Chip::HandshakeAnswer(BYTE b, bool* synced) {
  if (b != 0x55) {
    return {};
  }
  *synced = true;
  return {kAccepted};
}

std::size_t UartK55Chip::ExtraBytes(BYTE command, BYTE n) const {
  // The leave command says length 0 yet carries one byte.
  return command == kLeave && n == 0 ? 1 : 0;
}

bool UartK55Chip::FrameIsWhole(const std::vector<BYTE>& frame) const { return frame.back() == kEnd; }

void UartK55Chip::OnCommand(BYTE command, const BYTE* payload, BYTE n) {
  switch (command) {
    case kReadPage:
      ReadPage(payload, n);
      return;
    case kLeave:
      ++m_nLeave;
      return;
    case kErase:
    case kWritePage:
    case kPassword:
      Reply({Execute(command, payload, n)});
      return;
    default:
      return;
  }
}

BYTE UartK55Chip::Execute(BYTE command, const BYTE* payload, BYTE n) {
  switch (command) {
    case kErase:
      Erase(0, Flash().size());
      return kAccepted;
    case kPassword: {
      const u32 value = (static_cast<u32>(payload[0]) << 24) | (static_cast<u32>(payload[1]) << 16) |
                        (static_cast<u32>(payload[2]) << 8) | payload[3];
      m_bUnlocked = n == 4 && value == m_nPassword;
      return m_bUnlocked ? kAccepted : kUartStatusRefused;
    }
    default: {
      const std::size_t address = ByteAddress(payload);
      if (!m_bUnlocked || n != 2 + kPageBytes || !InFlash(address, kPageBytes)) {
        return kUartStatusRefused;
      }
      Program(address, payload + 2, kPageBytes);
      return kAccepted;
    }
  }
}

void UartK55Chip::ReadPage(const BYTE* payload, BYTE n) {
  std::vector<BYTE> reply(37, 0x00);
  reply[0] = 0x55;
  reply[1] = 0xAA;
  reply[2] = kReadPage;
  const std::size_t address = n == 3 ? ByteAddress(payload) : 0;
  // A locked chip or a bad range answers with a length of 0 and no data.
  if (n == 3 && payload[2] == kPageBytes && m_bUnlocked && InFlash(address, kPageBytes)) {
    reply[3] = static_cast<BYTE>(kPageBytes);
    BYTE sum = 0;
    for (std::size_t i = 0; i < kPageBytes; ++i) {
      reply[4 + i] = Flash()[address + i];
      sum = static_cast<BYTE>(sum + reply[4 + i]);
    }
    reply[36] = sum;
  }
  Reply(reply);
}

}  // namespace qv::sim
