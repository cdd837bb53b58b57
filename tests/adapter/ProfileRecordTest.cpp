#include "adapter/ProfileRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

ProfileRecord Filled(unsigned char byte)
{
    ProfileRecord r;
    std::memset(&r, byte, sizeof r);
    return r;
}

TEST(ProfileRecord, initSetsTheDefaultsAndLeavesPadding)
{
    ProfileRecord r = Filled(0xEE);
    EXPECT_EQ(InitProfileRecord(&r), &r);
    EXPECT_EQ(r.profileName[0], '\0');
    EXPECT_EQ(r.profileName[80], '\0');
    EXPECT_EQ(r.ssid[32], '\0');
    EXPECT_EQ(r.channel, 1);
    EXPECT_EQ(r.eapOption, 0x80000000u);
    EXPECT_EQ(r.reserved3, 1u);
    for (auto length : r.wepKeyLength)
        EXPECT_EQ(length, 5u);
    EXPECT_EQ(r.reserved1 | r.logonFlag | r.reserved2 | r.keyIndex | r.certHashLength, 0u);
    EXPECT_EQ(r.adHoc | r.authMode | r.encryption | r.keyFormat, 0);
    EXPECT_EQ(r.wepKeys[3][511], '\0');
    EXPECT_EQ(r.passphrase[511], '\0');
    EXPECT_EQ(r.reservedText[255], '\0');
    EXPECT_EQ(r.certHash[127], 0);
    EXPECT_EQ(r.padding1[0], 0xEE);
    EXPECT_EQ(r.padding2[2], 0xEE);
    EXPECT_EQ(r.padding3[1], 0xEE);
}

TEST(ProfileRecord, copyingOntoItselfChangesNothing)
{
    ProfileRecord r = Filled(0x41);
    r.certHashLength = 20;
    const ProfileRecord before = r;
    CopyProfileRecord(&r, &r);
    EXPECT_EQ(std::memcmp(&r, &before, sizeof r), 0);
}

TEST(ProfileRecord, copyMovesFieldsButNotPaddingAndClearsTheHashTail)
{
    ProfileRecord source;
    InitProfileRecord(&source);
    std::strcpy(source.profileName, "Home");
    std::strcpy(source.ssid, "Net");
    std::strcpy(source.passphrase, "secret123");
    std::strcpy(source.wepKeys[2], "abcde");
    std::strcpy(source.reservedText, "keep");
    source.reserved1 = 11;
    source.logonFlag = 1;
    source.adHoc = 1;
    source.channel = 6;
    source.authMode = 3;
    source.eapOption = 0x1234;
    source.encryption = 3;
    source.reserved2 = 22;
    source.keyFormat = KEY_ASCII;
    source.wepKeyLength[1] = 13;
    source.keyIndex = 2;
    source.reserved3 = 33;
    source.certHashLength = 20;
    for (int i = 0; i < 20; ++i)
        source.certHash[i] = static_cast<std::uint8_t>(i + 1);
    std::memset(source.padding1, 0x11, sizeof source.padding1);

    ProfileRecord destination = Filled(0x7A);
    std::strcpy(destination.ssid, "A much longer name");
    CopyProfileRecord(&source, &destination);

    EXPECT_STREQ(destination.profileName, "Home");
    EXPECT_STREQ(destination.ssid, "Net");
    EXPECT_EQ(destination.ssid[4], 'c'); // the old tail stays after the new terminator
    EXPECT_EQ(destination.passphrase[10], 0x7A);
    EXPECT_STREQ(destination.passphrase, "secret123");
    EXPECT_STREQ(destination.wepKeys[2], "abcde");
    EXPECT_STREQ(destination.wepKeys[0], "");
    EXPECT_STREQ(destination.reservedText, "keep");
    EXPECT_EQ(destination.reserved1, 11u);
    EXPECT_EQ(destination.logonFlag, 1u);
    EXPECT_EQ(destination.adHoc, 1);
    EXPECT_EQ(destination.channel, 6);
    EXPECT_EQ(destination.authMode, 3);
    EXPECT_EQ(destination.eapOption, 0x1234u);
    EXPECT_EQ(destination.encryption, 3);
    EXPECT_EQ(destination.reserved2, 22u);
    EXPECT_EQ(destination.keyFormat, KEY_ASCII);
    EXPECT_EQ(destination.wepKeyLength[1], 13u);
    EXPECT_EQ(destination.keyIndex, 2u);
    EXPECT_EQ(destination.reserved3, 33u);
    EXPECT_EQ(destination.certHashLength, 20u);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(destination.certHash[i], i + 1);
    for (int i = 20; i < 128; ++i)
        EXPECT_EQ(destination.certHash[i], 0) << i;
    EXPECT_EQ(destination.padding1[0], 0x7A);
    EXPECT_EQ(destination.padding3[0], 0x7A);
}

TEST(ProfileRecord, copyStaysInsideTheRecordWhateverTheSourceHolds)
{
    // Texts without terminators and a hash length far above 128, in a buffer with guards.
    constexpr std::size_t kGuard = 4096;
    auto sourceBytes = std::make_unique<unsigned char[]>(sizeof(ProfileRecord) + kGuard);
    auto destinationBytes = std::make_unique<unsigned char[]>(sizeof(ProfileRecord) + kGuard);
    std::memset(sourceBytes.get(), 'S', sizeof(ProfileRecord) + kGuard);
    std::memset(destinationBytes.get(), 'G', sizeof(ProfileRecord) + kGuard);
    auto* source = reinterpret_cast<ProfileRecord*>(sourceBytes.get());
    auto* destination = reinterpret_cast<ProfileRecord*>(destinationBytes.get());
    source->certHashLength = 100000;

    CopyProfileRecord(source, destination);

    EXPECT_EQ(std::strlen(destination->profileName), 80u);
    EXPECT_EQ(std::strlen(destination->ssid), 32u);
    EXPECT_EQ(std::strlen(destination->reservedText), 255u);
    EXPECT_EQ(std::strlen(destination->passphrase), 511u);
    for (const auto& key : destination->wepKeys)
        EXPECT_EQ(key[511], '\0');
    EXPECT_EQ(destination->certHash[127], 'S');
    for (std::size_t i = sizeof(ProfileRecord); i < sizeof(ProfileRecord) + kGuard; ++i)
        ASSERT_EQ(destinationBytes[i], 'G') << "written past the record at " << i;
}

TEST(ProfileRecord, anEmptyNameIsStillAConnectableRecord)
{
    ProfileRecord source;
    InitProfileRecord(&source);
    std::strcpy(source.ssid, "cafe");
    ProfileRecord destination;
    InitProfileRecord(&destination);
    CopyProfileRecord(&source, &destination);
    EXPECT_STREQ(destination.profileName, "");
    EXPECT_STREQ(destination.ssid, "cafe");
}

} // namespace
