#pragma once
// Device side of the UART boot loaders: what the three chip families share.
// Host bytes come in through Receive as they arrive; the chip assembles
// 55 AA command n payload trailer frames, checks each, answers a forced
// status itself and hands the rest to the family, answers through the sink,
// and keeps its flash. Until the host's handshake the chip listens only for it; after
// it, a lone 0x55 followed by a quiet line (LineIdle) starts a new one, so
// that a host may handshake again without a reset line.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "platform/core/wintypes.h"

namespace qv::sim {

// Status of a command that the model refuses (address outside its flash,
// write before unlock): the models' own value, not one the host knows.
inline constexpr BYTE kUartStatusRefused = 0xEE;

// Status bytes of the 6-byte replies (generic and W24A loaders).
inline constexpr BYTE kUartAck = 0xA4;
inline constexpr BYTE kUartMatch = 0xA5;
inline constexpr BYTE kUartMismatch = 0xA6;
inline constexpr BYTE kUartBadFrame = 0xE1;

class UartChip {
 public:
  using Sink = std::function<void(const BYTE* data, std::size_t size)>;
  using FrameObserver = std::function<void(const std::vector<BYTE>& frame)>;

  UartChip(std::size_t flashSize, std::size_t pageSize);
  virtual ~UartChip() = default;
  UartChip(const UartChip&) = delete;
  UartChip& operator=(const UartChip&) = delete;

  // Where the chip's bytes go (the pty, or a fake port's input).
  void SetSink(Sink sink) { m_sink = std::move(sink); }
  // Sees every complete frame before it is handled.
  void SetFrameObserver(FrameObserver observer) { m_observer = std::move(observer); }

  void Receive(const BYTE* data, std::size_t size);
  void Receive(const std::vector<BYTE>& bytes) { Receive(bytes.data(), bytes.size()); }
  // The line has been quiet: a partial frame is dropped; a lone 0x55 after
  // the handshake begins a new handshake.
  void LineIdle();
  // Back to waiting for the handshake, as after power-up (flash kept).
  void Reset();
  bool Synced() const { return m_bSynced; }

  std::vector<BYTE>& Flash() { return m_flash; }
  const std::vector<BYTE>& Flash() const { return m_flash; }
  std::size_t PageSize() const { return m_nPageSize; }
  // Grows with every change of the flash, so that an owner can save when it moved.
  u32 FlashGeneration() const { return m_nGeneration; }

  // Faults.
  void SetSilent(bool silent) { m_bSilent = silent; }
  // Answers status to command without doing it; a status of -1 clears.
  void SetStatusFor(BYTE command, int status);
  // Pages written into the page holding address keep one byte flipped.
  void CorruptPage(u32 address) { m_corruptPages.insert(address / m_nPageSize); }
  // Bytes sent just before the next reply (once).
  void SendGarbageBeforeNextReply(std::vector<BYTE> garbage) { m_garbage = std::move(garbage); }
  // Bytes sent before every handshake answer: a device that keeps talking.
  void SetHandshakeChatter(std::vector<BYTE> chatter) { m_chatter = std::move(chatter); }

 protected:
  // The family's answer to one handshake byte; sets *synced when the
  // handshake is complete. Empty: no answer.
  virtual std::vector<BYTE> HandshakeAnswer(BYTE b, bool* synced) = 0;
  // Bytes after the payload, before the trailer byte, that the frame carries.
  virtual std::size_t ExtraBytes(BYTE /*command*/, BYTE /*n*/) const { return 0; }
  // Whether a complete frame (header and trailer included) came through
  // whole: by default its trailer is the frame checksum of command, length
  // and payload in the family's form.
  virtual bool FrameIsWhole(const std::vector<BYTE>& frame) const;
  // The checksum form of the frames (0: XOR form, 1: byte-sum form).
  virtual u32 FrameChecksumMode() const { return 0; }
  // The answer to a frame that did not come through whole: by default the
  // bad-frame status.
  virtual void AnswerBrokenFrame(BYTE command) { ReplyStatus(command, kUartBadFrame); }
  // The answer that carries a status: by default the 6-byte status reply.
  virtual void AnswerStatus(BYTE command, BYTE status) { ReplyStatus(command, status); }
  // A whole frame whose command has no forced status.
  virtual void OnCommand(BYTE command, const BYTE* payload, BYTE n) = 0;
  // A new handshake begins: session state goes.
  virtual void OnNewSession() {}

  // Sends a reply, after any garbage, unless the chip is silent.
  void Reply(const std::vector<BYTE>& bytes);
  // The 6-byte status reply of the generic and W24A boot loaders:
  // 55 AA command 01 status and an XOR check byte.
  void ReplyStatus(BYTE command, BYTE status);
  // The 0x55 -> 0xA2, 0xA1 -> 0xA3 handshake of the generic and W24A loaders.
  static std::vector<BYTE> AnswerSyncHandshake(BYTE b, bool* synced);
  // The frame checksum of command, length and payload in a form (0: XOR
  // from 0xFF, 1: byte sum); the generic loader's page sums take it too.
  static BYTE FrameChecksum(u32 mode, const BYTE* body, std::size_t length);

  // Flash helpers on flash offsets; false when the range is outside the flash.
  bool InFlash(std::uint64_t offset, std::uint64_t length) const { return offset + length <= m_flash.size(); }
  // Programs bytes: flash cells only go from 1 to 0 until erased.
  void Program(std::size_t offset, const BYTE* data, std::size_t length);
  void Erase(std::size_t offset, std::size_t length);

 private:
  void ReceiveByte(BYTE b);
  void Handshake(BYTE b);
  // A complete frame: checked, then answered with a forced status or
  // handed to the family.
  void HandleFrame(const std::vector<BYTE>& frame);

  std::vector<BYTE> m_flash;
  std::size_t m_nPageSize;
  u32 m_nGeneration = 0;
  Sink m_sink;
  FrameObserver m_observer;
  bool m_bSynced = false;
  std::vector<BYTE> m_frame;
  bool m_bSilent = false;
  std::map<BYTE, int> m_statusFor;
  std::set<std::size_t> m_corruptPages;
  std::vector<BYTE> m_garbage;
  std::vector<BYTE> m_chatter;
};

// Reads and writes of multi-byte numbers in frames.
u32 ReadBigEndian16(const BYTE* p);
u32 ReadLittleEndian32(const BYTE* p);

}  // namespace qv::sim
