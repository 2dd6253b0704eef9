#include "SMCBridge.h"

#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

class SMCBridgeTest : public ::testing::Test {
protected:
    platform::fake::FakePlatform fake;
};

TEST_F(SMCBridgeTest, WithoutAControllerOrAConnectionEveryReadIsAbsentAndNothingIsAsked) {
    fake.smc->setUInt8("FNum", 2);
    fake.smc->openSucceeds = false;
    for (const bool present : {true, false}) {
        fake.smc->present = present;
        SMCBridge smc;
        EXPECT_FALSE(smc.isOpen());
        EXPECT_FALSE(smc.readKey("FNum"));
        EXPECT_FALSE(smc.readUInt8("FNum"));
    }
    EXPECT_EQ(fake.smc->exchanges, 0);
}

TEST_F(SMCBridgeTest, OpensOnceReleasesTheServiceAndClosesOnDestruction) {
    {
        SMCBridge smc;
        EXPECT_TRUE(smc.isOpen());
        EXPECT_EQ(fake.smc->opens, 1);
        EXPECT_EQ(fake.smc->releases, 1);
        EXPECT_EQ(fake.smc->openConnections.size(), 1u);
    }
    EXPECT_EQ(fake.smc->closes, 1);
    EXPECT_TRUE(fake.smc->openConnections.empty());
}

TEST_F(SMCBridgeTest, ReadsTypeAndExactlyDataSizeBytesInTwoExchanges) {
    fake.smc->set("F0Ac", "flt ", {1, 2, 3, 4});
    SMCBridge smc;
    const auto v = smc.readKey("F0Ac");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->dataType, "flt ");
    EXPECT_EQ(v->bytes, (std::vector<std::uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(fake.smc->exchanges, 2);
    EXPECT_EQ(fake.smc->infoRequests["F0Ac"], 1);
    EXPECT_EQ(fake.smc->valueReads["F0Ac"], 1);

    fake.smc->set("ZERO", "ui8 ", {});
    EXPECT_EQ(smc.readKey("ZERO")->bytes.size(), 0u);
    fake.smc->set("LONG", "ch8*", std::vector<std::uint8_t>(40, 7));
    EXPECT_EQ(smc.readKey("LONG")->bytes.size(), 32u);

    const int before = fake.smc->exchanges;
    EXPECT_FALSE(smc.readKey("TRD0"));
    EXPECT_EQ(fake.smc->exchanges, before + 1) << "a refused key-info step ends the read";
    EXPECT_EQ(fake.smc->valueReads.count("TRD0"), 0u);
}

TEST_F(SMCBridgeTest, TypeTextDecodesAsciiOnlyAndLongerKeysKeepTheirLastFour) {
    fake.smc->keys[platform::fake::FakeSMC::code("T8BT")] = {0x75693880u | 0x80u,
                                                             {9}}; // "ui8" + 0x80
    fake.smc->set("ui16", "ui16", {0, 7});
    fake.smc->setUInt8("ui08", 7);
    SMCBridge smc;
    EXPECT_EQ(smc.readKey("T8BT")->dataType, "");
    EXPECT_FALSE(smc.readUInt8("T8BT"));
    EXPECT_FALSE(smc.readUInt8("ui16"));
    EXPECT_EQ(smc.readUInt8("ui08"), 7);
    EXPECT_EQ(smc.readUInt8("xui08"), 7);
}

} // namespace
} // namespace quillfen
