#include "sim/uart_chip.h"

namespace qv::sim {

UartChip::UartChip(std::size_t flashSize, std::size_t pageSize)
    : m_flash(flashSize, 0xFF), m_nPageSize(pageSize) {}

void UartChip::Receive(const BYTE* data, std::size_t size) {
  if (m_bSilent) {
    return;
  }
  for (std::size_t i = 0; i < size; ++i) {
    if (m_bSynced) {
      ReceiveByte(data[i]);
    } else {
      Handshake(data[i]);
    }
  }
}

void UartChip::LineIdle() {
  const bool loneSync = m_frame.size() == 1 && m_frame[0] == 0x55;
  m_frame.clear();
  if (loneSync && m_bSynced && !m_bSilent) {
    m_bSynced = false;
    Handshake(0x55);
  }
}

void UartChip::Reset() {
  m_frame.clear();
  m_bSynced = false;
  OnNewSession();
}

void UartChip::Handshake(BYTE b) {
  if (b == 0x55) {
    OnNewSession();
  }
  bool synced = false;
  std::vector<BYTE> answer = HandshakeAnswer(b, &synced);
  if (!answer.empty()) {
    if (!m_chatter.empty() && m_sink) {
      m_sink(m_chatter.data(), m_chatter.size());
    }
    Reply(answer);
  }
  m_bSynced = synced;
}

void UartChip::ReceiveByte(BYTE b) {
  // Resynchronise on the 55 AA header: anything else before it is dropped.
  if (m_frame.empty() && b != 0x55) {
    return;
  }
  if (m_frame.size() == 1 && b != 0xAA) {
    m_frame.clear();
    if (b == 0x55) {
      m_frame.push_back(b);
    }
    return;
  }
  m_frame.push_back(b);
  if (m_frame.size() < 4) {
    return;
  }
  const BYTE n = m_frame[3];
  const std::size_t total = 4u + n + ExtraBytes(m_frame[2], n) + 1u;
  if (m_frame.size() < total) {
    return;
  }
  std::vector<BYTE> frame;
  frame.swap(m_frame);
  if (m_observer) {
    m_observer(frame);
  }
  HandleFrame(frame);
}

void UartChip::HandleFrame(const std::vector<BYTE>& frame) {
  const BYTE command = frame[2];
  if (!FrameIsWhole(frame)) {
    AnswerBrokenFrame(command);
    return;
  }
  const auto forced = m_statusFor.find(command);
  if (forced != m_statusFor.end()) {
    AnswerStatus(command, static_cast<BYTE>(forced->second));
    return;
  }
  OnCommand(command, frame.data() + 4, frame[3]);
}

bool UartChip::FrameIsWhole(const std::vector<BYTE>& frame) const {
  const BYTE n = frame[3];
  return FrameChecksum(FrameChecksumMode(), frame.data() + 2, 2u + n) == frame[4u + n];
}

BYTE UartChip::FrameChecksum(u32 mode, const BYTE* body, std::size_t length) {
  BYTE x = 0xFF;
  BYTE sum = 0;
  for (std::size_t i = 0; i < length; ++i) {
    x = static_cast<BYTE>(x ^ body[i]);
    sum = static_cast<BYTE>(sum + body[i]);
  }
  return mode == 0 ? x : sum;
}

void UartChip::SetStatusFor(BYTE command, int status) {
  if (status < 0) {
    m_statusFor.erase(command);
  } else {
    m_statusFor[command] = status;
  }
}

void UartChip::Reply(const std::vector<BYTE>& bytes) {
  if (m_bSilent || !m_sink) {
    return;
  }
  if (!m_garbage.empty()) {
    std::vector<BYTE> garbage;
    garbage.swap(m_garbage);
    m_sink(garbage.data(), garbage.size());
  }
  m_sink(bytes.data(), bytes.size());
}

void UartChip::ReplyStatus(BYTE command, BYTE status) {
  Reply({0x55, 0xAA, command, 0x01, status, static_cast<BYTE>(0xFF ^ command ^ 0x01 ^ status)});
}

std::vector<BYTE> UartChip::AnswerSyncHandshake(BYTE b, bool* synced) {
  if (b == 0x55) {
    return {0xA2};
  }
  if (b == 0xA1) {
    *synced = true;
    return {0xA3};
  }
  return {};
}

void UartChip::Program(std::size_t offset, const BYTE* data, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    m_flash[offset + i] &= data[i];
  }
  // A worn page: its first programmed byte does not take its value.
  if (length > 0 && m_corruptPages.count(offset / m_nPageSize) != 0) {
    m_flash[offset] ^= 0x01;
  }
  ++m_nGeneration;
}

void UartChip::Erase(std::size_t offset, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    m_flash[offset + i] = 0xFF;
  }
  ++m_nGeneration;
}

u32 ReadBigEndian16(const BYTE* p) { return (static_cast<u32>(p[0]) << 8) | p[1]; }

u32 ReadLittleEndian32(const BYTE* p) {
  return static_cast<u32>(p[0]) | (static_cast<u32>(p[1]) << 8) | (static_cast<u32>(p[2]) << 16) |
         (static_cast<u32>(p[3]) << 24);
}

}  // namespace qv::sim
