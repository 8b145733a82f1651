#pragma once
// Pictures that tests save for people to look at, all under the one folder
// of the build tree that the build gives each suite (QV_SNAPSHOT_DIR,
// <build>/snapshots/<suite>), never in the folder a test runs from.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QString>

#include "platform/win32/snapshot.h"

namespace qv::testing {

// Saves `image` as <snapshot folder>/<name>.png; false when it could not be saved.
inline bool SavePicture(const QImage& image, const QString& name) {
  const QString folder = QStringLiteral(QV_SNAPSHOT_DIR);
  if (!QDir().mkpath(folder)) return false;
  QString file = name;
  file.replace('/', '_');
  return image.save(folder + "/" + file + ".png");
}

// The composite of a window (frame, client and every child, as a person sees
// it), saved as <suite>_<test>_<name>.png after the running test.
inline QImage SaveSnapshot(HWND hwnd, const char* name) {
  const QImage image = qv::CompositeSnapshot(hwnd);
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  SavePicture(image, QString("%1_%2_%3").arg(info->test_suite_name(), info->name(), name));
  return image;
}

}  // namespace qv::testing
