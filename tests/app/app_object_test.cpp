// The application object's start values, before start-up fills anything: the
// connection settings at zero except the entry method, "Timeout Entry" (1),
// which the command-line job then uses as it is; no back end; no version or
// title.

#include <gtest/gtest.h>

#include <memory>

#include "app/taravik_app.h"

namespace {

TEST(ApplicationObject, StartValues) {
  auto app = std::make_unique<CTaravikApp>();
  EXPECT_EQ(app->m_nInterface, 0u);
  EXPECT_EQ(app->m_nComPort, 0u);
  EXPECT_EQ(app->m_nBaudRate, 0u);
  EXPECT_EQ(app->m_nEntryMethod, 1u);
  EXPECT_EQ(app->m_pCOMBase, nullptr);
  EXPECT_EQ(app->m_pInterface, nullptr);
  EXPECT_EQ(g_pIcBase, nullptr);
  EXPECT_EQ(app->m_wVersion, 0);
  EXPECT_TRUE(app->m_strIdeTitle.IsEmpty());
  app.reset();
  SetEngine(&theApp);
}

}  // namespace
