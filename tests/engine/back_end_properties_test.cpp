// What each of the five back ends tells the dialogs and the jobs about its
// chip, and the answers that need no I/O: the figures the pages and the jobs
// shape their limits, fields and page loops by.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "isp/com_base_k55.h"
#include "isp/com_base_w24a.h"
#include "isp/qv_ic_7t0.h"

namespace {

struct Properties {
  const char* name;
  std::function<std::unique_ptr<CCommonInterface>()> make;
  int pageSize;
  BOOL readSupported;
  BOOL passwordRequired;
  BOOL writeAddressSupported;
  int headerBytes;
  int trailerBytes;
  int bootLoaderKB;
};

class BackEndProperties : public ::testing::TestWithParam<Properties> {};

TEST_P(BackEndProperties, AreTheChipFamilys) {
  const Properties& p = GetParam();
  const std::unique_ptr<CCommonInterface> b = p.make();
  EXPECT_EQ(b->GetPageSize(), p.pageSize);
  EXPECT_EQ(b->IsReadSupported(), p.readSupported);
  EXPECT_EQ(b->IsPasswordRequired(), p.passwordRequired);
  EXPECT_EQ(b->IsWriteAddressSupported(), p.writeAddressSupported);
  EXPECT_EQ(b->GetFileHeaderSize(), p.headerBytes);
  EXPECT_EQ(b->GetFileTrailerSize(), p.trailerBytes);
  EXPECT_EQ(b->GetBootLoaderSizeKB(), p.bootLoaderKB);
  // A family that needs no password accepts any without I/O; K55 sends it,
  // which fails here, as no port is open.
  EXPECT_EQ(b->SendKeyinPasswordCmd(0x3B8E61C4), p.passwordRequired ? -1 : 0xA4);
}

INSTANTIATE_TEST_SUITE_P(
    Families, BackEndProperties,
    ::testing::Values(
        Properties{"Interface", [] { return std::make_unique<CCommonInterface>(); }, 128, FALSE, FALSE, TRUE, 0, 0,
                   4},
        Properties{"Generic", [] { return std::make_unique<CCOMBase>(); }, 128, FALSE, FALSE, TRUE, 0, 0, 4},
        Properties{"W24a", [] { return std::make_unique<CCOMBaseW24A>(); }, 1024, FALSE, FALSE, TRUE, 0, 0, 4},
        Properties{"K55", [] { return std::make_unique<CCOMBaseK55>(); }, 32, TRUE, TRUE, FALSE, 0, 768, 0},
        Properties{"I2c128", [] { return std::make_unique<CQvIcBase>(); }, 128, FALSE, FALSE, TRUE, 0, 0, 4},
        Properties{"I2c7T0", [] { return std::make_unique<CQvIc7T0>(BYTE{0x70}); }, 1024, FALSE, FALSE, TRUE, 0, 0,
                   4}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
