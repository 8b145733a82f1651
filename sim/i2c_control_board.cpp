#include "sim/i2c_control_board.h"

#include "platform/core/clock.h"
#include "sim/i2c_7t0_chip.h"
#include "sim/i2c_page128_chip.h"

namespace qv::sim {

namespace {

std::unique_ptr<I2cChip> MakeChip(const ChipConfig& chip) {
  const std::size_t size = static_cast<std::size_t>(chip.flashSizeK) * 1024;
  switch (chip.family) {
    case ChipFamily::kPage128:
      return std::make_unique<I2cPage128Chip>(size);
    case ChipFamily::k7T0:
      return std::make_unique<I2c7T0Chip>(size);
    case ChipFamily::kNone:
      break;
  }
  return nullptr;
}

}  // namespace

ControlBoard::ControlBoard(const ChipConfig& chip) { SetChip(chip); }

void ControlBoard::SetChip(const ChipConfig& chip) {
  m_chip = chip;
  m_pChip = MakeChip(chip);
}

void ControlBoard::PowerOff() {
  m_settings = BoardSettings{};
  if (m_pChip) {
    m_pChip->PowerOff();
  }
}

void ControlBoard::ClearLogs() {
  m_transfers.clear();
  m_ioLog.clear();
  m_calls.clear();
  m_timeline.clear();
}

void ControlBoard::Note(BoardEvent::Kind kind, std::size_t index) {
  m_timeline.push_back({kind, index, CurrentClock().NowMs()});
}

void ControlBoard::LogCall(BoardCall call) {
  m_calls.push_back(std::move(call));
  Note(BoardEvent::Kind::kCall, m_calls.size() - 1);
}

int ControlBoard::TakeFault(bool isWrite, bool isRead, bool isIo) {
  for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
    const bool matches = (it->target == FaultTarget::kAnyTransfer && !isIo) ||
                         (it->target == FaultTarget::kWriteTransfer && isWrite) ||
                         (it->target == FaultTarget::kReadTransfer && isRead) ||
                         (it->target == FaultTarget::kBoardIo && isIo);
    if (!matches || it->times == 0) {
      continue;
    }
    if (it->skip > 0) {
      --it->skip;
      continue;
    }
    const int code = it->code;
    if (it->times > 0 && --it->times == 0) {
      m_faults.erase(it);
    }
    return code;
  }
  return kBoardOk;
}

int ControlBoard::Transfer(const BYTE* write, u32 writeCount, BYTE* read, u32 readCount) {
  if ((writeCount == 0 && readCount == 0) || (writeCount > 0 && !write) ||
      (readCount > 0 && !read)) {
    return kBoardBadArgument;
  }
  I2cTransfer entry;
  entry.slaveAddr = m_settings.slaveAddr;
  entry.byteDelay = m_settings.byteDelay;
  entry.written.assign(write, write + writeCount);
  entry.readCount = readCount;
  entry.result = TakeFault(writeCount > 0, readCount > 0, false);
  if (entry.result == kBoardOk) {
    entry.result = Route(write, writeCount, read, readCount);
  }
  if (entry.result == kBoardOk && readCount > 0) {
    entry.readBack.assign(read, read + readCount);
  }
  m_transfers.push_back(std::move(entry));
  Note(BoardEvent::Kind::kTransfer, m_transfers.size() - 1);
  return m_transfers.back().result;
}

int ControlBoard::Route(const BYTE* write, u32 writeCount, BYTE* read, u32 readCount) {
  if (!m_pChip || m_settings.slaveAddr != m_chip.slaveAddr) {
    return kBoardNack;
  }
  if (writeCount > 0 && !m_pChip->Write(write, writeCount)) {
    return kBoardNack;
  }
  if (readCount > 0 && !m_pChip->Read(read, readCount)) {
    return kBoardNack;
  }
  return kBoardOk;
}

int ControlBoard::SetIoLine(BYTE level) {
  if (level > 1) {
    return kBoardBadArgument;
  }
  const int fault = TakeFault(false, false, true);
  if (fault != kBoardOk) {
    return fault;
  }
  m_ioLog.push_back(level);
  Note(BoardEvent::Kind::kIoLine, m_ioLog.size() - 1);
  // The line is the chip's reset: releasing it after holding it low starts the boot loader.
  if (m_settings.ioLevel == 0 && level == 1 && m_pChip) {
    m_pChip->ResetIntoIsp();
  }
  m_settings.ioLevel = level;
  return kBoardOk;
}

}  // namespace qv::sim
