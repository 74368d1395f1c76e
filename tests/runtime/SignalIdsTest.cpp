#include <gtest/gtest.h>

#include <set>
#include <string>

#include "runtime/SignalIds.h"

namespace {

// The names of the media player's block follow its numbers: landmarks inside,
// other prefixes just outside.
TEST(SignalIdNames, MediaPlayerNamesFollowTheirNumbers) {
    EXPECT_STREQ(GetSignalIdNamePtr(SignalIds(444)), "SIG_ID_MPLAYER_PROCESS_STARTED_IND");
    EXPECT_STREQ(GetSignalIdNamePtr(SignalIds(454)), "SIG_ID_MPLAYER_CLOSE_REQ");
    EXPECT_STREQ(GetSignalIdNamePtr(SignalIds(484)), "SIG_ID_MPLAYER_EOS_IND");
    EXPECT_STREQ(GetSignalIdNamePtr(SignalIds(531)), "SIG_ID_MPLAYER_URL_INFO_IND");
    for (unsigned long id : {443ul, 532ul}) {
        EXPECT_NE(std::string(GetSignalIdNamePtr(SignalIds(id))).rfind("SIG_ID_MPLAYER_", 0), 0u);
    }
}

TEST(SignalIdNames, EveryIdHasItsOwnNameAndIdsOutOfRangeAreNull) {
    std::set<std::string> seen;
    for (unsigned long id = 0; id < 672; ++id) {
        std::string const name = GetSignalIdNamePtr(SignalIds(id));
        EXPECT_TRUE(name.rfind("SIG_ID_", 0) == 0) << id << " " << name;
        EXPECT_TRUE(seen.insert(name).second) << "duplicate name " << name;
    }
    EXPECT_EQ(seen.size(), 672u);
    for (unsigned long id : {672ul, 673ul, 1000ul, 0xFFFFFFFFul, ~0ul}) {
        EXPECT_STREQ(GetSignalIdNamePtr(SignalIds(id)), "SIG_ID_NULL") << id;
    }
}

} // namespace
