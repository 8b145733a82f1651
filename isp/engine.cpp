#include "isp/engine.h"

#include <atomic>

namespace {

class CSilentContext : public CEngineContext {
 public:
  void WriteLog(CString) override {}
};

std::atomic<CEngineContext*> g_engine{nullptr};

}  // namespace

CQvIcBase* g_pIcBase = nullptr;
char g_szIcType[132] = {};
int g_nRamSizeK = 0;
int g_nFlashSizeK = 0;

CEngineContext& Engine() {
  static CSilentContext silent;
  CEngineContext* c = g_engine.load(std::memory_order_acquire);
  return c ? *c : silent;
}

void SetEngine(CEngineContext* context) { g_engine.store(context, std::memory_order_release); }

u32 HexTextToInt(const CString& text) {
  u32 value = 0;
  for (int i = 0; i < text.GetLength(); ++i) {
    // Compared as signed bytes: no byte of 0x80 or above is a digit.
    const signed char c = static_cast<signed char>(text[i]);
    if (c >= '0' && c <= '9') {
      value = value * 16 + static_cast<u32>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      value = value * 16 + static_cast<u32>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      value = value * 16 + static_cast<u32>(c - 'A' + 10);
    } else {
      return 0;
    }
  }
  return value;
}
