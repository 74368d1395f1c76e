#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/SignalIds.h"

namespace {

TEST(SignalIdNames, FixedRowsOfTheCatalogue) {
    EXPECT_STREQ(GetSignalIdNamePtr(SIG_ID_NULL), "SIG_ID_NULL");
    EXPECT_STREQ(GetSignalIdNamePtr(SignalIds(1)), "SIG_ID_FIRST_GENERAL_MSG");
    EXPECT_STREQ(GetSignalIdNamePtr(SignalIds(31)), "SIG_ID_STOP_THREAD");
    EXPECT_STREQ(GetSignalIdNamePtr(SignalIds(43)), "SIG_ID_MPLAYER_VIDEO_FORMAT_CHANGED");
    EXPECT_STREQ(GetSignalIdNamePtr(SignalIds(655)), "SIG_ID_EXECUTE_CFG_FILE_IN_THREAD");
    EXPECT_STREQ(GetSignalIdNamePtr(SignalIds(671)), "SIG_ID_MPLAYERITF_ACTOR_INIT");
}

TEST(SignalIdNames, IdsOutOfRangeAreNull) {
    for (unsigned long id : {672ul, 673ul, 1000ul, 0xFFFFFFFFul, ~0ul}) {
        EXPECT_STREQ(GetSignalIdNamePtr(SignalIds(id)), "SIG_ID_NULL") << id;
    }
}

TEST(SignalIdNames, MediaPlayerBlockIsExact) {
    std::istringstream words(
        "PROCESS_STARTED_IND PROCESS_STARTED_CONFIRM PROCESS_STARTED_TIMEOUT HAL_AVAILABLE_IND "
        "HAL_AVAILABLE_CONFIRM QUIT_REQ QUIT_RESP OPEN_REQ OPEN_RESP OPEN_FAIL CLOSE_REQ "
        "CLOSE_RESP CLOSE_FAIL CLOSED_IND PLAY_REQ PLAY_RESP PLAY_FAIL PAUSE_REQ PAUSE_RESP "
        "PAUSE_FAIL STOP_REQ STOP_RESP STOP_FAIL STATE_CHANGED_IND SEEKABLE_IND JUMP_OFF_REQ "
        "JUMP_OFF_RESP JUMP_OFF_FAIL JUMP_ABS_REQ JUMP_ABS_RESP JUMP_ABS_FAIL GET_CUR_POS_REQ "
        "GET_CUR_POS_RESP GET_CUR_POS_FAIL GET_DURATION_REQ GET_DURATION_RESP GET_DURATION_FAIL "
        "GET_BYTESIZE_REQ GET_BYTESIZE_RESP GET_BYTESIZE_FAIL EOS_IND NEW_BASE_TIME_IND "
        "LOADING_PROGRESS_IND DATA_RATE_IND NUM_STREAMS_IND MEDIA_INFO_IND VIDEO_FORMAT_IND "
        "AUDIO_DECODER_INFO_IND SET_3D_MODE_REQ SWITCH_VIDEO_STREAM_REQ SWITCH_VIDEO_STREAM_RESP "
        "SWITCH_VIDEO_STREAM_FAIL SWITCH_AUDIO_STREAM_REQ SWITCH_AUDIO_STREAM_RESP "
        "SWITCH_AUDIO_STREAM_FAIL SWITCH_SUBTITLE_STREAM_REQ SWITCH_SUBTITLE_STREAM_RESP "
        "SWITCH_SUBTITLE_STREAM_FAIL ENABLE_SUBTITLE_REQ ENABLE_SUBTITLE_RESP "
        "DISABLE_SUBTITLE_REQ DISABLE_SUBTITLE_RESP SUPPORTED_PLAY_SPEED_IND "
        "GET_SUPPORTED_PLAY_SPEED_REQ GET_SUPPORTED_PLAY_SPEED_RESP "
        "GET_SUPPORTED_PLAY_SPEED_FAIL SET_PLAY_SPEED_REQ SET_PLAY_SPEED_RESP "
        "SET_PLAY_SPEED_FAIL SET_WINDOW_REQ SET_WINDOW_RESP SET_WINDOW_FAIL DECODER_NEEDED_IND "
        "DECODER_AVAILABLE_IND DECODER_NOT_AVAILABLE_IND DECODER_RELEASE_REQ "
        "DECODER_RELEASE_RESP ERROR_IND SUBTITLE_CLEAR SUBTITLE_FLUSH SUBTITLE_RECT "
        "SUBTITLE_RECT_RESP SUBTITLE_TEXT SUBTITLE_CLEAR_WITHOUT_FLUSH WEBLINKS_REQUEST "
        "WEBLINKS_RESPONSE CONTROL_REQ URL_INFO_IND");
    std::vector<std::string> expected;
    for (std::string word; words >> word;) {
        expected.push_back("SIG_ID_MPLAYER_" + word);
    }
    ASSERT_EQ(expected.size(), 88u);
    for (unsigned i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(GetSignalIdNamePtr(SignalIds(444 + i)), expected[i]) << "id " << 444 + i;
    }
    EXPECT_EQ(SIG_ID_MPLAYER_CLOSE_REQ, 454u);
    EXPECT_EQ(SIG_ID_MPLAYER_ERROR_IND, 521u);
}

TEST(SignalIdNames, EveryIdHasItsOwnName) {
    std::set<std::string> seen;
    for (unsigned long id = 0; id < 672; ++id) {
        std::string const name = GetSignalIdNamePtr(SignalIds(id));
        EXPECT_TRUE(name.rfind("SIG_ID_", 0) == 0) << id << " " << name;
        EXPECT_TRUE(seen.insert(name).second) << "duplicate name " << name;
    }
    EXPECT_EQ(seen.size(), 672u);
}

} // namespace
