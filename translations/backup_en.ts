<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en_US">
<context>
    <name>BackUpUIPlugin</name>
    <message>
        <source>IDS_BACKUPUIPLUGIN_LOGBUTTONTEXT</source>
        <translation>Backup</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DESCRIPTIONINFO_TEXT</source>
        <translation>Choose what to back up from your phone to this computer, then click Start.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_CONTACTS_TEXT</source>
        <translation>Contacts</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_INFORMATION_TEXT</source>
        <translation>Messages</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_APPLICATION_TEXT</source>
        <translation>Apps</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_APPDATA_TEXT</source>
        <translation>App data</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_IMAGEVEDIO_TEXT</source>
        <translation>Photos/videos</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_MUSICITEM_TEXT</source>
        <translation>Music</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_OTHER_TEXT</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_EMAIL_TEXT</source>
        <translation>E-mail</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_SCHEDULE_TEXT</source>
        <translation>Calendar</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_BOOKMARK_TEXT</source>
        <translation>Bookmarks</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CORE_CALLLOG_TEXT</source>
        <translation>Call log</translation>
    </message>
    <message>
        <source>IDS_VIRTUAL_SMSNAME_IDENTIFER</source>
        <translation>Text messages</translation>
    </message>
    <message>
        <source>IDS_VIRTUAL_CORE_MMSTEXT</source>
        <translation>MMS</translation>
    </message>
    <message>
        <source>IDS_VIRTUAL_IMAGEINFO_CORE</source>
        <translation>Photos</translation>
    </message>
    <message>
        <source>IDS_VIRTUAL_IDENTIFER_VEDIOTEXT</source>
        <translation>Videos</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_TIME_REMAINING_ONEMINUTE</source>
        <translation>About 1 min</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_NEEDTIME_TEXT</source>
        <translation>About %1 min</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMMON_SIGN_DUNHAO</source>
        <translation>,</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DSTLABER_TEXT</source>
        <translation>Save the backup to:</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DSTDISCCAPACITY_TEXT</source>
        <translation>Free space on %s1: %s2</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DISKSPACESTATUS_TEXT</source>
        <translation>Not enough free space for the selected data. Choose another folder or fewer items.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DSTNOTWRITABLE_TEXT</source>
        <translation>This folder cannot be written into (%s). Choose another folder.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PREPARE_BROWSE</source>
        <translation>Change...</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_NEXTBUTTON</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CANCELBUTTON</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_FINISHBUTTON</source>
        <translation>Finish</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT</source>
        <translation>Backing up %s1...</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT_PRO</source>
        <translation>Backing up %s1: %s2 of %s3</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOINGCANCEL_DESCRIPTION_TEXT</source>
        <translation>Stop the backup? The data copied so far will be discarded.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPSUC_LABEL</source>
        <translation>Backup complete.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPFAIL_LABEL</source>
        <translation>Backup failed.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPPART_LABEL</source>
        <translation>Backup incomplete.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPINTERRUPTED_LABEL</source>
        <translation>Backup interrupted.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_PHONE_DISCONNECTED_LABEL</source>
        <translation>The phone was disconnected during the backup. Nothing of this backup was kept. Reconnect the phone and start the backup again.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_PHONE_INTERRUPTED_LABEL</source>
        <translation>The phone was disconnected during the backup. Backup interrupted: %s files kept; start again to finish. Reconnect the phone and start the backup again into the same folder: the files kept are not copied again.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_PARTIAL_ITEM_TEXT</source>
        <translation>%s1 (%s2 of %s3 copied)</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_SECONDDOING_FINISHING_TIPTEXT</source>
        <translation>Finishing the backup...</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_SORRY_LABEL</source>
        <translation> These items could not be backed up: </translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_RESULT_LABEL</source>
        <translation>Reconnect the phone and back up these items again.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_ANOTHER_BACKUP_LABEL</source>
        <translation>Another backup is running on this computer. Try again when it has finished.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_GET_PHONE_MEM_FAIL_LABEL</source>
        <translation>The phone's storage could not be read. Reconnect the phone and try again.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_NO_ENOUGH_SPACE_LABEL</source>
        <translation>The phone needs at least 5 MB of free storage to prepare a backup. Free some space on the phone and try again.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_PB_TIPTEXT</source>
        <translation>%s contacts were backed up. Contacts kept on the SIM card or in accounts that do not allow export were skipped.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_APK_TIPTEXT</source>
        <translation>%s apps were backed up. System apps and apps that cannot be copied were skipped.</translation>
    </message>
    <message>
        <source>IDS_CORE_UNIT_B</source>
        <translation>B</translation>
    </message>
    <message>
        <source>IDS_CORE_UNIT_KB</source>
        <translation>KB</translation>
    </message>
    <message>
        <source>IDS_CORE_UNIT_MB</source>
        <translation>MB</translation>
    </message>
    <message>
        <source>IDS_CORE_UNIT_GB</source>
        <translation>GB</translation>
    </message>
    <message>
        <source>IDS_CORE_UNIT_TB</source>
        <translation>TB</translation>
    </message>
    <message>
        <source>IDS_CORE_OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>IDS_CORE_CANCEL</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_ACCESSIBLE_COUNT</source>
        <translation>%s items</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_WAITING_ACCESSIBLE_TEXT</source>
        <translation>Reading the phone, please wait</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOING_PROGRESS_ACCESSIBLE_TEXT</source>
        <translation>Backup progress</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOING_TIMELEFT_UNDER_MINUTE_TEXT</source>
        <translation>Less than a minute left</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOING_TIMELEFT_MINUTES_TEXT</source>
        <translation>About %1 min left</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOING_TIMELEFT_HOURS_TEXT</source>
        <translation>About %1 h %2 min left</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOINGCANCEL_STOP_BUTTON</source>
        <translation>Stop backup</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOINGCANCEL_CONTINUE_BUTTON</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_NOTAVAILABLE_TEXT</source>
        <translation>Not available on this phone</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_APKDATA_TIPTEXT</source>
        <translation>The data of %s1 of %s2 apps was backed up. Apps whose data cannot be read were skipped.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_FOLDER_TEXT</source>
        <translation>Saved in %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_OPENFOLDER_BUTTON</source>
        <translation>Open folder</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_NOTAVAILABLE_TIPTEXT</source>
        <translation>Not available on this phone, so not backed up: %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_TITLE</source>
        <translation>Connect your phone</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PICKER_TITLE</source>
        <translation>Choose the phone to back up</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STEP1_TEXT</source>
        <translation>On the phone, turn on USB debugging: in Settings → About phone tap “Build number” seven times, then turn on Settings → System → Developer options → “USB debugging”.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STEP2_TEXT</source>
        <translation>Connect the phone to this computer with a USB cable.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STEP3_TEXT</source>
        <translation>When the phone asks “Allow USB debugging?”, tick “Always allow from this computer” and tap Allow.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_PHONES_CAPTION</source>
        <translation>Phones this computer sees</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_NOPHONE_TEXT</source>
        <translation>No phone is connected yet. The backup goes on by itself as soon as a phone is ready.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_NOSERVER_TEXT</source>
        <translation>The Android Debug Bridge (adb) cannot be started, so no phone can be seen (%s1). Install it with “sudo apt-get install adb”; this page keeps looking.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STATE_READY</source>
        <translation>%s1 (%s2): ready</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STATE_UNAUTHORIZED</source>
        <translation>%s1 (%s2): waiting for you to tap Allow on the phone.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STATE_OFFLINE</source>
        <translation>%s1 (%s2): offline. Unlock the phone, or unplug it and plug it in again.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STATE_NOPERMISSIONS</source>
        <translation>%s1 (%s2): this user may not open the phone's USB device. Install the udev rules (“sudo apt-get install android-sdk-platform-tools-common”), join the plugdev group (“sudo usermod -aG plugdev $USER”, then log out and in), then unplug the phone and plug it in again.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STATE_CONNECTING</source>
        <translation>%s1 (%s2): connecting...</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_OPENFAILED_TEXT</source>
        <translation>%s1 cannot be opened: %s2</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_CAPTION</source>
        <translation>Connect over Wi-Fi</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_NOTE</source>
        <translation>For a phone whose wireless debugging already listens: type its address as HOST:PORT. Pairing with a code is not possible, since Debian's adb 29 cannot pair.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_BUTTON</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_BADADDRESS_TEXT</source>
        <translation>Type the address as HOST:PORT, for example 192.168.1.20:5555.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_CONNECTING_TEXT</source>
        <translation>Connecting to %s1...</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_CONNECTED_TEXT</source>
        <translation>Connected to %s1. If the phone asks, tap Allow.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_FAILED_TEXT</source>
        <translation>Cannot connect to %s1: %s2</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PHONE_USB_TEXT</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PHONE_WIFI_TEXT</source>
        <translation>Wi-Fi</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PHONE_SAMPLE_TEXT</source>
        <translation>sample phone</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PHONE_UNKNOWN_MODEL</source>
        <translation>Unknown model</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PHONE_REASON_UNAUTHORIZED</source>
        <translation>tap Allow on the phone</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PHONE_REASON_OFFLINE</source>
        <translation>offline</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PHONE_REASON_NOPERMISSIONS</source>
        <translation>no permission for its USB device</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PHONE_REASON_CONNECTING</source>
        <translation>connecting</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PICKER_ROW_TEXT</source>
        <translation>%s1, serial %s2, %s3</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PICKER_UNUSABLE_TEXT</source>
        <translation>%s1: %s2</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PICKER_DESCRIPTION_TEXT</source>
        <translation>Several phones are connected. Choose the one to back up.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PICKER_USE_BUTTON</source>
        <translation>Choose</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_HEADER_PHONE_TEXT</source>
        <translation>%s1, serial %s2</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_TRYAGAIN_BUTTON</source>
        <translation>Try again</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_NO_PHONE_LABEL</source>
        <translation>No phone was connected when the backup started. Nothing was backed up. Connect the phone and try again.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_WAITING_READING_TEXT</source>
        <translation>Reading your phone…</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_WAITING_CANCELLING_TEXT</source>
        <translation>Stopping the backup…</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PREPARE_SELECTION_TEXT</source>
        <translation>Selected: %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PREPARE_SELECTION_ITEMS</source>
        <translation>%s items</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PREPARE_SELECTION_NONE</source>
        <translation>Nothing selected</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_COUNTS_TEXT</source>
        <translation>Backed up: %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_TOTALSIZE_TEXT</source>
        <translation>Total size: %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_PACKAGE_TEXT</source>
        <translation>Package: %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_SHOWDETAILS_BUTTON</source>
        <translation>Show details</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_HIDEDETAILS_BUTTON</source>
        <translation>Hide details</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_NOTCOPIED_LIST</source>
        <translation>Files and apps that could not be copied</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ENTRY_BUTTON</source>
        <translation>Restore a backup…</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_TITLE</source>
        <translation>Choose a backup to restore</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_FOLDER</source>
        <translation>Backups in %s</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHANGE_FOLDER_NAME</source>
        <translation>Choose another folder of backups</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_NONE</source>
        <translation>No backups in this folder. Choose another folder with Change...</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_DAMAGED</source>
        <translation>Damaged: this backup cannot be restored</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_INTERRUPTED</source>
        <translation>Interrupted: %s files kept, no package; back up the phone again into this folder to finish it</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_VERIFIED</source>
        <translation>verified</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_OTHER_PHONE</source>
        <translation>This backup was made of another phone (%s). It can be restored to this phone all the same.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_NEXT_BUTTON</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ITEMS_TITLE</source>
        <translation>Choose what to restore</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ITEMS_READING</source>
        <translation>Reading %s and the phone…</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ITEMS_FROM</source>
        <translation>From the backup of %s:</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ITEMS_COUNT</source>
        <translation>%1 (%2 in the backup)</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ITEMS_COUNT_THERE</source>
        <translation>%1 (%2 in the backup, %3 already on the phone)</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ITEMS_NOT_RESTORABLE</source>
        <translation>%1: not restorable (%2)</translation>
    </message>
    <message>
        <source>IDS_RESTORE_START_BUTTON</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>IDS_RESTORE_BACK_BUTTON</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_TITLE</source>
        <translation>Restoring the backup</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_PREPARING</source>
        <translation>Getting ready…</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_ITEM</source>
        <translation>Restoring %1…</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_FILES</source>
        <translation>%1 of %2 files, %3 of %4</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_STOP_QUESTION</source>
        <translation>Stop the restore? What is already on the phone stays there.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_STOP_BUTTON</source>
        <translation>Stop restore</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_STOPPING</source>
        <translation>Stopping…</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_COMPLETE</source>
        <translation>Restore complete.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_INCOMPLETE</source>
        <translation>Restore incomplete.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_CANCELLED</source>
        <translation>Restore stopped.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_DISCONNECTED</source>
        <translation>Restore stopped: phone disconnected.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_NOT_STARTED</source>
        <translation>The backup could not be restored.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_KIND_LINE</source>
        <translation>%1: %2 restored, %3 already on the phone, %4 failed</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_KIND_NOT_REACHED</source>
        <translation>%1: not restored, the restore stopped before it</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_KIND_STOPPED</source>
        <translation>%1 not restored: the restore stopped before them</translation>
    </message>
    <message>
        <source>IDS_RESTORE_SHOW_DETAILS_BUTTON</source>
        <translation>Show details</translation>
    </message>
    <message>
        <source>IDS_RESTORE_HIDE_DETAILS_BUTTON</source>
        <translation>Hide details</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DETAILS_NAME</source>
        <translation>What could not be restored</translation>
    </message>
    <message>
        <source>IDS_RESTORE_TRY_AGAIN_BUTTON</source>
        <translation>Try again</translation>
    </message>
</context>
<context>
    <name>RestoreReasons</name>
    <message>
        <source>needs an app on the phone</source>
        <translation>needs an app on the phone</translation>
    </message>
    <message>
        <source>not in this backup</source>
        <translation>not in this backup</translation>
    </message>
    <message>
        <source>not available on this phone</source>
        <translation>not available on this phone</translation>
    </message>
    <message>
        <source>phone disconnected</source>
        <translation>phone disconnected</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>cancelled</translation>
    </message>
    <message>
        <source>no space on the phone</source>
        <translation>no space on the phone</translation>
    </message>
    <message>
        <source>missing from the backup folder</source>
        <translation>missing from the backup folder</translation>
    </message>
    <message>
        <source>not attempted</source>
        <translation>not attempted</translation>
    </message>
    <message>
        <source>in an app&apos;s private folder (Android/data, Android/obb), which the phone keeps for that app</source>
        <translation>in an app&apos;s private folder (Android/data, Android/obb), which the phone keeps for that app</translation>
    </message>
    <message>
        <source>another file appeared at that path on the phone</source>
        <translation>another file appeared at that path on the phone</translation>
    </message>
    <message>
        <source>Android 12 or newer</source>
        <translation>Android 12 or newer</translation>
    </message>
</context>
</TS>
