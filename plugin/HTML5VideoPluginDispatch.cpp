// The dispatch table of the service's messages: every id the plugin
// understands names its handler; every other id takes the unknown path.
#include "plugin/HTML5VideoPlugin.h"
#include "runtime/SignalIds.h"

HTML5VideoPlugin::Handler HTML5VideoPlugin::HandlerOf(unsigned long signal) {
    struct Row {
        unsigned long signal;
        Handler handler;
    };
    static Row const rows[] = {
        {SIG_ID_MPLAYER_OPEN_RESP, &HTML5VideoPlugin::processMplayerOpenResp},
        {SIG_ID_MPLAYER_OPEN_FAIL, &HTML5VideoPlugin::processMplayerOpenFail},
        {SIG_ID_MPLAYER_CLOSE_RESP, &HTML5VideoPlugin::processMplayerCloseResp},
        {SIG_ID_MPLAYER_CLOSE_FAIL, &HTML5VideoPlugin::processMplayerCloseFail},
        {SIG_ID_MPLAYER_CLOSED_IND, &HTML5VideoPlugin::processMplayerClosedInd},
        {SIG_ID_MPLAYER_PLAY_RESP, &HTML5VideoPlugin::processMplayerPlayResp},
        {SIG_ID_MPLAYER_PLAY_FAIL, &HTML5VideoPlugin::processMplayerPlayFail},
        {SIG_ID_MPLAYER_PAUSE_RESP, &HTML5VideoPlugin::processMplayerPauseResp},
        {SIG_ID_MPLAYER_PAUSE_FAIL, &HTML5VideoPlugin::processMplayerPauseFail},
        {SIG_ID_MPLAYER_STOP_RESP, &HTML5VideoPlugin::processMplayerStopResp},
        {SIG_ID_MPLAYER_STOP_FAIL, &HTML5VideoPlugin::processMplayerStopFail},
        {SIG_ID_MPLAYER_STATE_CHANGED_IND, &HTML5VideoPlugin::processMplayerStateChangedInd},
        {SIG_ID_MPLAYER_SEEKABLE_IND, &HTML5VideoPlugin::processMplayerSeekableInd},
        {SIG_ID_MPLAYER_JUMP_OFF_RESP, &HTML5VideoPlugin::processMplayerJumpOffResp},
        {SIG_ID_MPLAYER_JUMP_OFF_FAIL, &HTML5VideoPlugin::processMplayerJumpOffFail},
        {SIG_ID_MPLAYER_JUMP_ABS_RESP, &HTML5VideoPlugin::processMplayerJumpAbsResp},
        {SIG_ID_MPLAYER_JUMP_ABS_FAIL, &HTML5VideoPlugin::processMplayerJumpAbsFail},
        {SIG_ID_MPLAYER_GET_CUR_POS_RESP, &HTML5VideoPlugin::processMplayerGetCurPosResp},
        {SIG_ID_MPLAYER_GET_CUR_POS_FAIL, &HTML5VideoPlugin::processMplayerGetCurPosFail},
        {SIG_ID_MPLAYER_GET_DURATION_RESP, &HTML5VideoPlugin::processMplayerGetDurationResp},
        {SIG_ID_MPLAYER_GET_DURATION_FAIL, &HTML5VideoPlugin::processMplayerGetDurationFail},
        {SIG_ID_MPLAYER_GET_BYTESIZE_RESP, &HTML5VideoPlugin::processMplayerGetByteSizeResp},
        {SIG_ID_MPLAYER_GET_BYTESIZE_FAIL, &HTML5VideoPlugin::processMplayerGetByteSizeFail},
        {SIG_ID_MPLAYER_EOS_IND, &HTML5VideoPlugin::processMplayerEosInd},
        {SIG_ID_MPLAYER_NEW_BASE_TIME_IND, &HTML5VideoPlugin::processMplayerNewBaseTimeInd},
        {SIG_ID_MPLAYER_LOADING_PROGRESS_IND, &HTML5VideoPlugin::processMplayerLoadingProgressInd},
        {SIG_ID_MPLAYER_NUM_STREAMS_IND, &HTML5VideoPlugin::processMplayerNumStreamsInd},
        {SIG_ID_MPLAYER_MEDIA_INFO_IND, &HTML5VideoPlugin::processMplayerMediaInfoInd},
        {SIG_ID_MPLAYER_VIDEO_FORMAT_IND, &HTML5VideoPlugin::processMplayerVideoFormatInd},
        {SIG_ID_MPLAYER_SWITCH_VIDEO_STREAM_RESP, &HTML5VideoPlugin::processMplayerSwitchVideoResp},
        {SIG_ID_MPLAYER_SWITCH_VIDEO_STREAM_FAIL, &HTML5VideoPlugin::processMplayerSwitchVideoFail},
        {SIG_ID_MPLAYER_SWITCH_AUDIO_STREAM_RESP, &HTML5VideoPlugin::processMplayerSwitchAudioResp},
        {SIG_ID_MPLAYER_SWITCH_AUDIO_STREAM_FAIL, &HTML5VideoPlugin::processMplayerSwitchAudioFail},
        {SIG_ID_MPLAYER_SWITCH_SUBTITLE_STREAM_RESP,
         &HTML5VideoPlugin::processMplayerSwitchSubtitleResp},
        {SIG_ID_MPLAYER_SWITCH_SUBTITLE_STREAM_FAIL,
         &HTML5VideoPlugin::processMplayerSwitchSubtitleFail},
        {SIG_ID_MPLAYER_SUPPORTED_PLAY_SPEED_IND,
         &HTML5VideoPlugin::processMplayerSupportedPlaySpeedInd},
        {SIG_ID_MPLAYER_GET_SUPPORTED_PLAY_SPEED_RESP,
         &HTML5VideoPlugin::processMplayerGetSupportedPlaySpeedResp},
        {SIG_ID_MPLAYER_GET_SUPPORTED_PLAY_SPEED_FAIL,
         &HTML5VideoPlugin::processMplayerGetSupportedPlaySpeedFail},
        {SIG_ID_MPLAYER_SET_PLAY_SPEED_RESP, &HTML5VideoPlugin::processMplayerSetPlaySpeedResp},
        {SIG_ID_MPLAYER_SET_PLAY_SPEED_FAIL, &HTML5VideoPlugin::processMplayerSetPlaySpeedFail},
        {SIG_ID_MPLAYER_ERROR_IND, &HTML5VideoPlugin::processMplayerErrorInd},
    };
    for (Row const& row : rows) {
        if (row.signal == signal) {
            return row.handler;
        }
    }
    return nullptr;
}
