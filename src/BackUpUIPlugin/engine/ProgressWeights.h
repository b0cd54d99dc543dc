#pragma once

// The slots of the worker's progress weights, in this order. The table of
// kinds names each kind's first slot; the worker thread keeps their values.
struct ProgressWeights
{
    enum Weight
    {
        W_PB_READ, W_PB_COPY, W_SMS_READ, W_SMS_COPY, W_MMS_READ, W_MMS_COPY,
        W_IMAGE_START, W_IMAGE_FILES, W_VIDEO_START, W_VIDEO_FILES, W_AUDIO_START, W_AUDIO_FILES,
        W_APK_START, W_APK_FILES, W_APKDATA_FIRST, W_APKDATA_SECOND, W_APKDATA_THIRD,
        W_CALLLOG_READ, W_CALLLOG_COPY, W_EMAIL_READ, W_EMAIL_COPY, W_CALENDAR_READ, W_CALENDAR_COPY,
        W_BOOKMARK_READ, W_BOOKMARK_COPY,
        W_COUNT
    };
};
