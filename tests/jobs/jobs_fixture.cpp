#include "tests/jobs/jobs_fixture.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <algorithm>

#include "isp/com_base_k55.h"
#include "isp/com_base_w24a.h"
#include "isp/online_com_update_thread.h"
#include "sim/uart_generic_chip.h"
#include "sim/uart_k55_chip.h"
#include "sim/uart_w24a_chip.h"

namespace jobs_test {

RecordingEngine::RecordingEngine(const std::string& folder) {
  std::snprintf(m_szAppDir, sizeof m_szAppDir, "%s", folder.c_str());
  m_nInterface = 0;
  m_nComPort = 7;
  m_nBaudRate = 115200;
  m_nEntryMethod = TIMEOUT_ENTRY_METHOD;
}

RecordingEngine::~RecordingEngine() { DeleteEngineBackEnds(); }

void RecordingOwner::PostProgress(WPARAM stage, LPARAM value) {
  {
    std::lock_guard<std::mutex> lock(m_);
    posts_.emplace_back(stage, value);
  }
  if (onPost) onPost(stage, value);
}

void RecordingOwner::EnableOwner() {
  {
    std::lock_guard<std::mutex> lock(m_);
    ++enabled_;
  }
  cv_.notify_all();
}

void RecordingOwner::RepaintViews() {
  std::lock_guard<std::mutex> lock(m_);
  ++repainted_;
}

void RecordingOwner::ShowCloseButton() {
  std::lock_guard<std::mutex> lock(m_);
  ++closeShown_;
}

Stages RecordingOwner::Posts() const {
  std::lock_guard<std::mutex> lock(m_);
  return posts_;
}

std::vector<WPARAM> RecordingOwner::Codes() const {
  std::vector<WPARAM> codes;
  for (const Stage& s : Posts()) codes.push_back(s.first);
  return codes;
}

int RecordingOwner::Enabled() const {
  std::lock_guard<std::mutex> lock(m_);
  return enabled_;
}

int RecordingOwner::Repainted() const {
  std::lock_guard<std::mutex> lock(m_);
  return repainted_;
}

int RecordingOwner::CloseShown() const {
  std::lock_guard<std::mutex> lock(m_);
  return closeShown_;
}

bool RecordingOwner::WaitEnabled(int count) const {
  std::unique_lock<std::mutex> lock(m_);
  // A bound for a wedged job, not a measurement.
  return cv_.wait_for(lock, std::chrono::seconds(60), [&] { return enabled_ >= count; });
}

const char kConfigIni[] =
    "[ICTYPELIST]\r\nLIST=GEN,W24,K55,I2C128,T7T0\r\n"
    "[GEN]\r\nRAM=4\r\nFLASH=64\r\n"
    "[W24]\r\nRAM=8\r\nFLASH=128\r\nUSE_W24A_UARTISP=TRUE\r\n"
    "[K55]\r\nRAM=2\r\nFLASH=64\r\nUSE_K55_UARTISP=TRUE\r\nUSE_W24A_UARTISP=TRUE\r\n"
    "[I2C128]\r\nFLASH=64\r\nCOM =FALSE\r\n"
    "[T7T0]\r\nFLASH=64\r\nCOM =FALSE\r\nUSE_QV7T0_USBISP =TRUE\r\nSLAVE_ADDRESS=5D\r\n";

const char* IcTypeOf(Serial family) {
  switch (family) {
    case Serial::kGeneric: return "GEN";
    case Serial::kW24A: return "W24";
    case Serial::kK55: return "K55";
  }
  return "";
}

const char* IcTypeOf(I2c family) { return family == I2c::kPage128 ? "I2C128" : "T7T0"; }

ProgramFolder::ProgramFolder() { WriteConfig(kConfigIni); }

std::string ProgramFolder::WriteFile(const std::string& name, const Bytes& bytes) const {
  const std::string path = File(name);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f != nullptr) {
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return path;
}

void ProgramFolder::WriteConfig(const std::string& text) const {
  WriteFile("config.ini", Bytes(text.begin(), text.end()));
}

std::unique_ptr<qv::sim::UartChip> MakeChip(Serial family) {
  switch (family) {
    case Serial::kGeneric: return std::make_unique<qv::sim::UartGenericChip>();
    case Serial::kW24A: return std::make_unique<qv::sim::UartW24aChip>();
    case Serial::kK55: return std::make_unique<qv::sim::UartK55Chip>();
  }
  return nullptr;
}

CCOMBase* MakeBackEnd(Serial family, std::unique_ptr<qv::ISerialPort> port) {
  switch (family) {
    case Serial::kGeneric: return new CCOMBase(std::move(port));
    case Serial::kW24A: return new CCOMBaseW24A(std::move(port));
    case Serial::kK55: return new CCOMBaseK55(std::move(port));
  }
  return nullptr;
}

Bytes Head(const Bytes& bytes, std::size_t n) {
  return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(std::min(n, bytes.size())));
}

Bytes ImageFile(Serial family, const Bytes& image) {
  Bytes file = image;
  // K55 types keep 768 unprogrammed bytes at the end of the file.
  if (family == Serial::kK55) file.resize(file.size() + 0x300, 0xEE);
  return file;
}

}  // namespace jobs_test
