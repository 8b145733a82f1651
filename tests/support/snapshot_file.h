#pragma once
// GUI snapshots for people to look at: the composite of a window (frame,
// client and every child, as a person sees it), saved into the build tree as
// snapshots/<suite>_<test>_<name>.png.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include "platform/win32/snapshot.h"

namespace qv::testing {

inline QImage SaveSnapshot(HWND hwnd, const char* name) {
  const QImage image = qv::CompositeSnapshot(hwnd);
  QDir().mkpath("snapshots");
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  QString file = QString("%1_%2_%3.png").arg(info->test_suite_name(), info->name(), name);
  file.replace('/', '_');
  image.save("snapshots/" + file);
  return image;
}

}  // namespace qv::testing
