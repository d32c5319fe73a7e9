#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "midi/CompositeDriver.h"

namespace {

using ::testing::_;
using ::testing::DoAll;
using ::testing::NiceMock;
using ::testing::Return;
using ::testing::SaveArg;
using ::testing::SetArgReferee;

class MockBackend : public MidiDriver {
public:
    MockBackend(std::string prefix, uint32_t outs, uint32_t ins) {
        ON_CALL(*this, OutCount()).WillByDefault(Return(outs));
        ON_CALL(*this, InCount()).WillByDefault(Return(ins));
        ON_CALL(*this, OutName(_)).WillByDefault([prefix](uint32_t i) {
            return prefix + " out " + std::to_string(i);
        });
        ON_CALL(*this, InName(_)).WillByDefault([prefix](uint32_t i) {
            return prefix + " in " + std::to_string(i);
        });
    }
    MOCK_METHOD(uint32_t, OutCount, (), (override));
    MOCK_METHOD(std::string, OutName, (uint32_t), (override));
    MOCK_METHOD(MidiResult, OutOpen, (uint32_t, MidiHandle&), (override));
    MOCK_METHOD(MidiResult, OutShortMsg, (MidiHandle, uint32_t), (override));
    MOCK_METHOD(MidiResult, OutPrepare, (MidiHandle, MidiHeader*), (override));
    MOCK_METHOD(MidiResult, OutLongMsg, (MidiHandle, MidiHeader*), (override));
    MOCK_METHOD(MidiResult, OutUnprepare, (MidiHandle, MidiHeader*), (override));
    MOCK_METHOD(MidiResult, OutClose, (MidiHandle), (override));
    MOCK_METHOD(uint32_t, InCount, (), (override));
    MOCK_METHOD(std::string, InName, (uint32_t), (override));
    MOCK_METHOD(MidiResult, InOpen, (uint32_t, MidiHandle&, InCallback, std::uintptr_t),
                (override));
    MOCK_METHOD(MidiResult, InPrepare, (MidiHandle, MidiHeader*), (override));
    MOCK_METHOD(MidiResult, InAddBuffer, (MidiHandle, MidiHeader*), (override));
    MOCK_METHOD(MidiResult, InStart, (MidiHandle), (override));
    MOCK_METHOD(MidiResult, InStop, (MidiHandle), (override));
    MOCK_METHOD(MidiResult, InReset, (MidiHandle), (override));
    MOCK_METHOD(MidiResult, InUnprepare, (MidiHandle, MidiHeader*), (override));
    MOCK_METHOD(MidiResult, InClose, (MidiHandle), (override));
};

class CompositeDriverTest : public ::testing::Test {
protected:
    std::shared_ptr<NiceMock<MockBackend>> first =
        std::make_shared<NiceMock<MockBackend>>("first", 2, 1);
    std::shared_ptr<NiceMock<MockBackend>> second =
        std::make_shared<NiceMock<MockBackend>>("second", 1, 2);
    CompositeDriver driver{{first, second}};
};

TEST_F(CompositeDriverTest, ListsTheBackendsDevicesInOrder) {
    ASSERT_EQ(driver.OutCount(), 3u);
    ASSERT_EQ(driver.InCount(), 3u);
    const std::vector<std::string> outs = {driver.OutName(0), driver.OutName(1), driver.OutName(2),
                                           driver.OutName(3)};
    EXPECT_EQ(outs, (std::vector<std::string>{"first out 0", "first out 1", "second out 0", ""}));
    const std::vector<std::string> ins = {driver.InName(0), driver.InName(1), driver.InName(2),
                                          driver.InName(0xFFFFFFFF)};
    EXPECT_EQ(ins, (std::vector<std::string>{"first in 0", "second in 0", "second in 1", ""}));
}

TEST_F(CompositeDriverTest, OpensTheRightBackendDeviceAndMapsItsHandle) {
    EXPECT_CALL(*second, OutOpen(0, _)).WillOnce(DoAll(SetArgReferee<1>(77), Return(kMidiOk)));
    MidiHandle handle = 0;
    ASSERT_EQ(driver.OutOpen(2, handle), kMidiOk);
    EXPECT_NE(handle, 0u);

    EXPECT_CALL(*second, OutShortMsg(77, 0x403C90)).WillOnce(Return(kMidiOk));
    EXPECT_EQ(driver.OutShortMsg(handle, 0x403C90), kMidiOk);
    MidiHeader header;
    EXPECT_CALL(*second, OutUnprepare(77, &header)).WillOnce(Return(kMidiStillPlaying));
    EXPECT_EQ(driver.OutUnprepare(handle, &header), kMidiStillPlaying);

    EXPECT_CALL(*second, OutClose(77)).WillOnce(Return(kMidiOk));
    EXPECT_EQ(driver.OutClose(handle), kMidiOk);
    EXPECT_CALL(*second, OutShortMsg(_, _)).Times(0);
    EXPECT_EQ(driver.OutShortMsg(handle, 0x90), kMidiInvalidHandle);
}

TEST_F(CompositeDriverTest, RefusesUnknownIndicesAndHandles) {
    MidiHandle handle = 5;
    EXPECT_EQ(driver.OutOpen(3, handle), kMidiBadDeviceId);
    EXPECT_EQ(driver.OutOpen(0xFFFFFFFF, handle), kMidiBadDeviceId);
    EXPECT_EQ(driver.InOpen(
                  3, handle,
                  [](MidiHandle, uint32_t, std::uintptr_t, std::uintptr_t, std::uintptr_t) {}, 0),
              kMidiBadDeviceId);
    EXPECT_EQ(handle, 5u);
    EXPECT_EQ(driver.OutShortMsg(0, 0x90), kMidiInvalidHandle);
    EXPECT_EQ(driver.InStart(12345), kMidiInvalidHandle);
    EXPECT_EQ(driver.OutClose(0), kMidiInvalidHandle);
}

TEST_F(CompositeDriverTest, FailedOpenGivesNoHandle) {
    EXPECT_CALL(*first, OutOpen(1, _)).WillOnce(Return(kMidiAllocated));
    MidiHandle handle = 0;
    EXPECT_EQ(driver.OutOpen(1, handle), kMidiAllocated);
    EXPECT_EQ(handle, 0u);
}

struct Relayed {
    MidiHandle handle = 0;
    uint32_t message = 0;
    std::uintptr_t param1 = 0;
};

TEST_F(CompositeDriverTest, CallbacksCarryTheCompositeHandleAndTheCallersInstance) {
    MidiDriver::InCallback backendCallback = nullptr;
    std::uintptr_t backendInstance = 0;
    EXPECT_CALL(*second, InOpen(1, _, _, _))
        .WillOnce(DoAll(SetArgReferee<1>(9), SaveArg<2>(&backendCallback),
                        SaveArg<3>(&backendInstance), Return(kMidiOk)));
    Relayed relayed;
    MidiHandle handle = 0;
    ASSERT_EQ(driver.InOpen(
                  2, handle,
                  [](MidiHandle h, uint32_t message, std::uintptr_t instance, std::uintptr_t param1,
                     std::uintptr_t) {
                      *reinterpret_cast<Relayed*>(instance) = {h, message, param1};
                  },
                  reinterpret_cast<std::uintptr_t>(&relayed)),
              kMidiOk);
    ASSERT_NE(backendCallback, nullptr);

    backendCallback(9, kMimLongData, backendInstance, 1234, 0);
    EXPECT_EQ(relayed.handle, handle);
    EXPECT_EQ(relayed.message, kMimLongData);
    EXPECT_EQ(relayed.param1, 1234u);

    EXPECT_CALL(*second, InStart(9)).WillOnce(Return(kMidiOk));
    EXPECT_EQ(driver.InStart(handle), kMidiOk);
    EXPECT_CALL(*second, InClose(9)).WillOnce(Return(kMidiStillPlaying)).WillOnce(Return(kMidiOk));
    EXPECT_EQ(driver.InClose(handle), kMidiStillPlaying);  // still open: the handle stays valid
    EXPECT_EQ(driver.InClose(handle), kMidiOk);
    EXPECT_EQ(driver.InClose(handle), kMidiInvalidHandle);
}

}  // namespace
