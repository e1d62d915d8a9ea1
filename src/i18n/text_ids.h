#pragma once

#include <QString>

// Every text of the text table, by its identifier. The names are the column
// "id" of texts.tsv.
#define TARNWICK_TEXT_IDS(X)     \
    X(Tr_DeletePSLabel)          \
    X(Tr_StartOnBootLabel)       \
    X(Tr_UseBBoxLabel)           \
    X(Tr_EncryptLabel)           \
    X(Tr_QualityLabel)           \
    X(Tr_OwnerPasswordLabel)     \
    X(Tr_UserPasswordLabel)      \
    X(Tr_LanguageLabel)          \
    X(Tr_StatusInactive)         \
    X(Tr_StatusIdle)             \
    X(Tr_StatusConverting)       \
    X(Tr_BetterPicturesLabel)    \
    X(Tr_QualityTip)             \
    X(Tr_UseBBoxTip)             \
    X(Tr_EncryptTip)             \
    X(Tr_GSPathTip)              \
    X(Tr_AcroPathTip)            \
    X(Tr_WatchDirTip)            \
    X(Tr_OutputTip)              \
    X(Tr_PSMoveTip)              \
    X(Tr_ComposeFolderTip)       \
    X(Tr_CounterTip)             \
    X(Tr_WebsiteTip)             \
    X(Tr_DeletePSTip)            \
    X(Tr_ConvertedListTip)       \
    X(Tr_StartOnBootTip)         \
    X(Tr_BetterPicturesTip)      \
    X(Tr_OpenFolderTip)          \
    X(Tr_ShowPasswordsButton)    \
    X(Tr_GSPathButton)           \
    X(Tr_AcroPathButton)         \
    X(Tr_WatchDirButton)         \
    X(Tr_OutputButton)           \
    X(Tr_PSMoveButton)           \
    X(Tr_ComposeFolderButton)    \
    X(Tr_StartButton)            \
    X(Tr_StopButton)             \
    X(Tr_ComposeButton)          \
    X(Tr_ExitButton)             \
    X(Tr_DragInfo)               \
    X(Tr_RemoveButton)           \
    X(Tr_ReloadButton)           \
    X(Tr_MakeOneButton)          \
    X(Tr_CloseButton)            \
    X(Tr_FileTypesLabel)         \
    X(Tr_MergeModeSuffix)        \
    X(Tr_TitleGSPath)            \
    X(Tr_TitleWatchDir)          \
    X(Tr_TitleMoveFolder)        \
    X(Tr_TitleOutput)            \
    X(Tr_TitleComposeFolder)     \
    X(Tr_TitleAcroPath)          \
    X(Tr_PickerHint)             \
    X(Tr_PickerVolumes)          \
    X(Tr_PickerFolders)          \
    X(Tr_PickerFiles)            \
    X(Tr_MsgSettingsWrong)       \
    X(Tr_MsgGSPathInvalid)       \
    X(Tr_MsgNoOwnerPassword)     \
    X(Tr_MsgNoUserPassword)      \
    X(Tr_MsgNoPasswords)         \
    X(Tr_OwnerPasswordPrefix)    \
    X(Tr_UserPasswordPrefix)     \
    X(Tr_MsgSameFolders)         \
    X(Tr_MsgFileGone)            \
    X(Tr_MsgNoReaderPath)        \
    X(Tr_MsgFirstUse)            \
    X(Tr_MsgLikelyGSPath)        \
    X(Tr_MsgGSNotSetRetry)       \
    X(Tr_MsgResetCounter)        \
    X(Tr_OkButton)               \
    X(Tr_CancelButton)           \
    X(Tr_HelpButton)             \
    X(Tr_TrayTip)                \
    X(Tr_ConversionFailed)       \
    X(Tr_MsgSettingsNotSaved)    \
    X(Tr_MsgReaderNotStarted)    \
    X(Tr_MsgSingleFileNotCopied) \
    X(Tr_NoticePdfMade)          \
    X(Tr_NoticeFileFailed)       \
    X(Tr_NoticeBatch)            \
    X(Tr_MsgMergeBadName)        \
    X(Tr_MsgMergeUnsafe)         \
    X(Tr_MsgOutputIsInput)       \
    X(Tr_MsgMergeFailed)         \
    X(Tr_ReasonUnreadable)       \
    X(Tr_ReasonNotReleased)      \
    X(Tr_ReasonWatchFolder)      \
    X(Tr_ReasonMoveFolder)       \
    X(Tr_ReasonOutputFolder)     \
    X(Tr_ReasonSameFolder)       \
    X(Tr_ReasonGsNotStarted)     \
    X(Tr_ReasonGsExitCode)       \
    X(Tr_ReasonGsSignal)         \
    X(Tr_ReasonNoPdf)            \
    X(Tr_ReasonPdfIncomplete)    \
    X(Tr_ReasonStopped)          \
    X(Tr_ReasonBoundingBox)      \
    X(Tr_MsgWatchedFolderBusy)   \
    X(Tr_ReasonLink)             \
    X(Tr_ReasonInTheWay)         \
    X(Tr_ReasonMergeIncomplete)  \
    X(Tr_ValueOwnerPassword)     \
    X(Tr_ValueUserPassword)      \
    X(Tr_MsgMergeLink)           \
    X(Tr_KeepGsRunningLabel)     \
    X(Tr_ReasonNameNotCarried)   \
    X(lblTr_FS_msg001)           \
    X(lblTr_FS_msg002)           \
    X(lblTr_FS_msg003)           \
    X(lblTr_FS_msg004)           \
    X(lblTr_FS_msg005)           \
    X(lblTr_FS_msg006)           \
    X(lblTr_FC_msg001)           \
    X(lblTr_FC_msg003)           \
    X(lblTr_FC_msg004)           \
    X(lblTr_FC_msg004_tip)       \
    X(lblTr_FC_msg005)

enum class TextId {
#define TARNWICK_TEXT_ENUM(name) name,
    TARNWICK_TEXT_IDS(TARNWICK_TEXT_ENUM)
#undef TARNWICK_TEXT_ENUM
        Count
};

// The identifier as written in texts.tsv.
const char* textIdName(TextId id);
