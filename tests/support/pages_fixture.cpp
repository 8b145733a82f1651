#include "tests/support/pages_fixture.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace pages_test {

PagesTest::PagesTest() {
  std::snprintf(engine_.m_szAppDir, sizeof engine_.m_szAppDir, "%s", folder_.Path().c_str());
  WriteFile("config.ini", Bytes(kConfigIni, kConfigIni + std::strlen(kConfigIni)));
  Choose("GEN", 16);
}

PagesTest::~PagesTest() {
  g_szIcType[0] = '\0';
  g_nFlashSizeK = 0;
}

void PagesTest::Choose(const char* type, int flashK) {
  std::snprintf(g_szIcType, sizeof g_szIcType, "%s", type);
  g_nFlashSizeK = flashK;
}

std::string PagesTest::WriteFile(const std::string& name, const Bytes& bytes) const {
  const std::string path = File(name);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::string PagesTest::ReadConfig() const {
  std::ifstream in(File("config.ini"), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace pages_test
