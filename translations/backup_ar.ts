<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar" sourcelanguage="en_US">
<context>
    <name>BackUpUIPlugin</name>
    <message>
        <source>IDS_BACKUPUIPLUGIN_LOGBUTTONTEXT</source>
        <translation>النسخ الاحتياطي</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DESCRIPTIONINFO_TEXT</source>
        <translation>اختر ما تريد نسخه احتياطيًا من هاتفك إلى هذا الكمبيوتر، ثم انقر على «ابدأ».</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_CONTACTS_TEXT</source>
        <translation>جهات الاتصال</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_INFORMATION_TEXT</source>
        <translation>الرسائل</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_APPLICATION_TEXT</source>
        <translation>التطبيقات</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_APPDATA_TEXT</source>
        <translation>بيانات التطبيقات</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_IMAGEVEDIO_TEXT</source>
        <translation>الصور والفيديو</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_MUSICITEM_TEXT</source>
        <translation>الموسيقى</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_OTHER_TEXT</source>
        <translation>أخرى</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_EMAIL_TEXT</source>
        <translation>البريد الإلكتروني</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_SCHEDULE_TEXT</source>
        <translation>التقويم</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_BOOKMARK_TEXT</source>
        <translation>الإشارات المرجعية</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CORE_CALLLOG_TEXT</source>
        <translation>سجل المكالمات</translation>
    </message>
    <message>
        <source>IDS_VIRTUAL_SMSNAME_IDENTIFER</source>
        <translation>الرسائل النصية</translation>
    </message>
    <message>
        <source>IDS_VIRTUAL_CORE_MMSTEXT</source>
        <translation>رسائل الوسائط</translation>
    </message>
    <message>
        <source>IDS_VIRTUAL_IMAGEINFO_CORE</source>
        <translation>الصور</translation>
    </message>
    <message>
        <source>IDS_VIRTUAL_IDENTIFER_VEDIOTEXT</source>
        <translation>مقاطع الفيديو</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_TIME_REMAINING_ONEMINUTE</source>
        <translation>دقيقة واحدة تقريبًا</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_NEEDTIME_TEXT</source>
        <translation>%1 دقيقة تقريبًا</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMMON_SIGN_DUNHAO</source>
        <translation>،</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DSTLABER_TEXT</source>
        <translation>حفظ النسخة الاحتياطية في:</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DSTDISCCAPACITY_TEXT</source>
        <translation>المساحة الحرة على %s1: %s2</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DISKSPACESTATUS_TEXT</source>
        <translation>لا توجد مساحة كافية للبيانات المحددة. اختر مجلدًا آخر أو عناصر أقل.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DSTNOTWRITABLE_TEXT</source>
        <translation>لا يمكن الكتابة في هذا المجلد (%s). اختر مجلدًا آخر.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PREPARE_BROWSE</source>
        <translation>تغيير...</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_NEXTBUTTON</source>
        <translation>ابدأ</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CANCELBUTTON</source>
        <translation>إلغاء</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_FINISHBUTTON</source>
        <translation>إنهاء</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT</source>
        <translation>جارٍ نسخ %s1 احتياطيًا...</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT_PRO</source>
        <translation>جارٍ نسخ %s1 احتياطيًا: %s2 من %s3</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOINGCANCEL_DESCRIPTION_TEXT</source>
        <translation>هل تريد إيقاف النسخ الاحتياطي؟ سيتم تجاهل البيانات التي نُسخت حتى الآن.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPSUC_LABEL</source>
        <translation>اكتمل النسخ الاحتياطي.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPFAIL_LABEL</source>
        <translation>فشل النسخ الاحتياطي.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPPART_LABEL</source>
        <translation>النسخ الاحتياطي غير مكتمل.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPINTERRUPTED_LABEL</source>
        <translation>توقف النسخ الاحتياطي.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_PHONE_DISCONNECTED_LABEL</source>
        <translation>تم فصل الهاتف أثناء النسخ الاحتياطي. لم يُحفظ أي شيء من هذا النسخ. أعد توصيل الهاتف وابدأ النسخ الاحتياطي من جديد.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_PHONE_INTERRUPTED_LABEL</source>
        <translation>تم فصل الهاتف أثناء النسخ الاحتياطي. توقف النسخ الاحتياطي: حُفظ %s من الملفات؛ ابدأ من جديد لإكماله. أعد توصيل الهاتف وابدأ النسخ الاحتياطي من جديد في المجلد نفسه: لن تُنسخ الملفات المحفوظة مرة أخرى.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_PARTIAL_ITEM_TEXT</source>
        <translation>%s1 (نُسخ %s2 من %s3)</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_SECONDDOING_FINISHING_TIPTEXT</source>
        <translation>جارٍ إنهاء النسخ الاحتياطي...</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_SORRY_LABEL</source>
        <translation> تعذّر النسخ الاحتياطي لهذه العناصر: </translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_RESULT_LABEL</source>
        <translation>أعد توصيل الهاتف ثم أعد النسخ الاحتياطي لهذه العناصر.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_ANOTHER_BACKUP_LABEL</source>
        <translation>هناك نسخ احتياطي آخر قيد التشغيل على هذا الكمبيوتر. حاول مرة أخرى بعد انتهائه.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_GET_PHONE_MEM_FAIL_LABEL</source>
        <translation>تعذّرت قراءة ذاكرة الهاتف. أعد توصيل الهاتف وحاول مرة أخرى.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_NO_ENOUGH_SPACE_LABEL</source>
        <translation>يحتاج الهاتف إلى 5 ميغابايت على الأقل من المساحة الحرة لتحضير النسخة الاحتياطية. أفرغ بعض المساحة وحاول مرة أخرى.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_PB_TIPTEXT</source>
        <translation>تم نسخ %s من جهات الاتصال. تم تخطي جهات الاتصال المحفوظة على بطاقة SIM أو في حسابات لا تسمح بالتصدير.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_APK_TIPTEXT</source>
        <translation>تم نسخ %s من التطبيقات. تم تخطي تطبيقات النظام والتطبيقات التي لا يمكن نسخها.</translation>
    </message>
    <message>
        <source>IDS_CORE_UNIT_B</source>
        <translation>بايت</translation>
    </message>
    <message>
        <source>IDS_CORE_UNIT_KB</source>
        <translation>ك.ب</translation>
    </message>
    <message>
        <source>IDS_CORE_UNIT_MB</source>
        <translation>م.ب</translation>
    </message>
    <message>
        <source>IDS_CORE_UNIT_GB</source>
        <translation>ج.ب</translation>
    </message>
    <message>
        <source>IDS_CORE_UNIT_TB</source>
        <translation>ت.ب</translation>
    </message>
    <message>
        <source>IDS_CORE_OK</source>
        <translation>موافق</translation>
    </message>
    <message>
        <source>IDS_CORE_CANCEL</source>
        <translation>إلغاء</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_ACCESSIBLE_COUNT</source>
        <translation>عدد العناصر: %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_WAITING_ACCESSIBLE_TEXT</source>
        <translation>جارٍ قراءة بيانات الهاتف، يرجى الانتظار</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOING_PROGRESS_ACCESSIBLE_TEXT</source>
        <translation>تقدم النسخ الاحتياطي</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOING_TIMELEFT_UNDER_MINUTE_TEXT</source>
        <translation>الوقت المتبقي أقل من دقيقة</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOING_TIMELEFT_MINUTES_TEXT</source>
        <translation>الوقت المتبقي نحو %1 دقيقة</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOING_TIMELEFT_HOURS_TEXT</source>
        <translation>الوقت المتبقي نحو %1 ساعة و%2 دقيقة</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOINGCANCEL_STOP_BUTTON</source>
        <translation>إيقاف النسخ</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOINGCANCEL_CONTINUE_BUTTON</source>
        <translation>متابعة</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_NOTAVAILABLE_TEXT</source>
        <translation>غير متاح على هذا الهاتف</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_APKDATA_TIPTEXT</source>
        <translation>تم نسخ بيانات %s1 من أصل %s2 من التطبيقات. تم تخطي التطبيقات التي لا يمكن قراءة بياناتها.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_FOLDER_TEXT</source>
        <translation>تم الحفظ في %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_OPENFOLDER_BUTTON</source>
        <translation>فتح المجلد</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_NOTAVAILABLE_TIPTEXT</source>
        <translation>غير متاح على هذا الهاتف، لذا لم يُنسخ احتياطيًا: %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_TITLE</source>
        <translation>وصّل هاتفك</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PICKER_TITLE</source>
        <translation>اختر الهاتف الذي تريد نسخه احتياطيًا</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STEP1_TEXT</source>
        <translation>شغّل تصحيح أخطاء USB على الهاتف: في الإعدادات ← حول الهاتف اضغط على «رقم الإصدار» سبع مرات، ثم شغّل الإعدادات ← النظام ← خيارات المطوّرين ← «تصحيح أخطاء USB».</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STEP2_TEXT</source>
        <translation>وصّل الهاتف بهذا الحاسوب بكابل USB.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STEP3_TEXT</source>
        <translation>عندما يسأل الهاتف «هل تريد السماح بتصحيح أخطاء USB؟» حدّد «السماح دائمًا من هذا الحاسوب» واضغط «سماح».</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_PHONES_CAPTION</source>
        <translation>الهواتف التي يراها هذا الحاسوب</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_NOPHONE_TEXT</source>
        <translation>لم يتصل أي هاتف بعد. يتابع النسخ الاحتياطي تلقائيًا حالما يصبح الهاتف جاهزًا.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_NOSERVER_TEXT</source>
        <translation>تعذّر تشغيل جسر تصحيح أخطاء أندرويد (adb)، لذا لا يظهر أي هاتف (%s1). ثبّته بالأمر «sudo apt-get install adb»؛ تواصل هذه الصفحة البحث.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STATE_READY</source>
        <translation>%s1 (%s2): جاهز</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STATE_UNAUTHORIZED</source>
        <translation>%s1 (%s2): بانتظار أن تضغط «سماح» على الهاتف.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STATE_OFFLINE</source>
        <translation>%s1 (%s2): غير متصل. ألغِ قفل الهاتف، أو افصله ثم وصّله من جديد.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STATE_NOPERMISSIONS</source>
        <translation>%s1 (%s2): لا يملك هذا المستخدم إذنًا بفتح جهاز USB الخاص بالهاتف. ثبّت قواعد udev («sudo apt-get install android-sdk-platform-tools-common»)، وانضم إلى مجموعة plugdev («sudo usermod -aG plugdev $USER» ثم سجّل الخروج والدخول)، ثم افصل الهاتف ووصّله من جديد.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STATE_CONNECTING</source>
        <translation>%s1 (%s2): جارٍ الاتصال...</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_OPENFAILED_TEXT</source>
        <translation>تعذّر فتح %s1: %s2</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_CAPTION</source>
        <translation>الاتصال عبر Wi-Fi</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_NOTE</source>
        <translation>لهاتف يستمع فيه تصحيح الأخطاء اللاسلكي مسبقًا: اكتب عنوانه بالشكل HOST:PORT. الاقتران برمز غير ممكن، لأن adb 29 في دبيان لا يدعم الاقتران.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_BUTTON</source>
        <translation>اتصال</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_BADADDRESS_TEXT</source>
        <translation>اكتب العنوان بالشكل HOST:PORT، مثلًا 192.168.1.20:5555.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_CONNECTING_TEXT</source>
        <translation>جارٍ الاتصال بـ %s1...</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_CONNECTED_TEXT</source>
        <translation>تم الاتصال بـ %s1. إذا سأل الهاتف فاضغط «سماح».</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_FAILED_TEXT</source>
        <translation>تعذّر الاتصال بـ %s1: %s2</translation>
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
        <translation>هاتف تجريبي</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PHONE_UNKNOWN_MODEL</source>
        <translation>طراز غير معروف</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PHONE_REASON_UNAUTHORIZED</source>
        <translation>اضغط «سماح» على الهاتف</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PHONE_REASON_OFFLINE</source>
        <translation>غير متصل</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PHONE_REASON_NOPERMISSIONS</source>
        <translation>لا إذن لجهاز USB الخاص به</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PHONE_REASON_CONNECTING</source>
        <translation>جارٍ الاتصال</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PICKER_ROW_TEXT</source>
        <translation>%s1، الرقم التسلسلي %s2، %s3</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PICKER_UNUSABLE_TEXT</source>
        <translation>%s1: %s2</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PICKER_DESCRIPTION_TEXT</source>
        <translation>هناك عدة هواتف متصلة. اختر الهاتف الذي تريد نسخه احتياطيًا.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PICKER_USE_BUTTON</source>
        <translation>اختيار</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_HEADER_PHONE_TEXT</source>
        <translation>%s1، الرقم التسلسلي %s2</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_TRYAGAIN_BUTTON</source>
        <translation>إعادة المحاولة</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_NO_PHONE_LABEL</source>
        <translation>لم يكن أي هاتف متصلًا عند بدء النسخ الاحتياطي. لم يُنسخ أي شيء. وصّل الهاتف وأعد المحاولة.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_WAITING_READING_TEXT</source>
        <translation>جارٍ قراءة هاتفك…</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_WAITING_CANCELLING_TEXT</source>
        <translation>جارٍ إيقاف النسخ الاحتياطي…</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PREPARE_SELECTION_TEXT</source>
        <translation>المحدد: %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PREPARE_SELECTION_ITEMS</source>
        <translation>%s عنصر</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PREPARE_SELECTION_NONE</source>
        <translation>لم يُحدَّد شيء</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_COUNTS_TEXT</source>
        <translation>تم النسخ: %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_TOTALSIZE_TEXT</source>
        <translation>الحجم الإجمالي: %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_PACKAGE_TEXT</source>
        <translation>الحزمة: %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_SHOWDETAILS_BUTTON</source>
        <translation>عرض التفاصيل</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_HIDEDETAILS_BUTTON</source>
        <translation>إخفاء التفاصيل</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_NOTCOPIED_LIST</source>
        <translation>الملفات والتطبيقات التي تعذّر نسخها</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ENTRY_BUTTON</source>
        <translation>استعادة نسخة احتياطية…</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_TITLE</source>
        <translation>اختر نسخة احتياطية لاستعادتها</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_FOLDER</source>
        <translation>النسخ الاحتياطية في %s</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHANGE_FOLDER_NAME</source>
        <translation>اختيار مجلد آخر للنسخ الاحتياطية</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_NONE</source>
        <translation>لا توجد نسخ احتياطية في هذا المجلد. اختر مجلداً آخر بزر «تغيير...».</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_DAMAGED</source>
        <translation>تالفة: لا يمكن استعادة هذه النسخة</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_INTERRUPTED</source>
        <translation>متوقفة: حُفظ %s من الملفات بلا حزمة؛ انسخ الهاتف احتياطيًا مرة أخرى إلى هذا المجلد لإكمالها</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_VERIFIED</source>
        <translation>تم التحقق منها</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_OTHER_PHONE</source>
        <translation>هذه النسخة من هاتف آخر (%s). يمكن استعادتها إلى هذا الهاتف مع ذلك.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_NEXT_BUTTON</source>
        <translation>التالي</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ITEMS_TITLE</source>
        <translation>اختر ما تريد استعادته</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ITEMS_READING</source>
        <translation>جارٍ قراءة %s والهاتف…</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ITEMS_FROM</source>
        <translation>من النسخة الاحتياطية لـ %s:</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ITEMS_COUNT</source>
        <translation>%1 (%2 في النسخة)</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ITEMS_COUNT_THERE</source>
        <translation>%1 (%2 في النسخة، %3 موجودة على الهاتف)</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ITEMS_NOT_RESTORABLE</source>
        <translation>%1: لا يمكن استعادتها (%2)</translation>
    </message>
    <message>
        <source>IDS_RESTORE_START_BUTTON</source>
        <translation>استعادة</translation>
    </message>
    <message>
        <source>IDS_RESTORE_BACK_BUTTON</source>
        <translation>رجوع</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_TITLE</source>
        <translation>جارٍ استعادة النسخة الاحتياطية</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_PREPARING</source>
        <translation>جارٍ التحضير…</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_ITEM</source>
        <translation>جارٍ استعادة %1…</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_FILES</source>
        <translation>%1 من %2 ملفات، %3 من %4</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_STOP_QUESTION</source>
        <translation>هل تريد إيقاف الاستعادة؟ ما نُقل إلى الهاتف يبقى عليه.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_STOP_BUTTON</source>
        <translation>إيقاف الاستعادة</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_STOPPING</source>
        <translation>جارٍ الإيقاف…</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_COMPLETE</source>
        <translation>اكتملت الاستعادة.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_INCOMPLETE</source>
        <translation>الاستعادة غير مكتملة.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_CANCELLED</source>
        <translation>تم إيقاف الاستعادة.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_DISCONNECTED</source>
        <translation>توقفت الاستعادة: تم فصل الهاتف.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_NOT_STARTED</source>
        <translation>تعذرت استعادة النسخة الاحتياطية.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_KIND_LINE</source>
        <translation>%1: تمت استعادة %2، موجود مسبقاً %3، فشل %4</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_KIND_NOT_REACHED</source>
        <translation>%1: لم تتم الاستعادة، توقفت الاستعادة قبل الوصول إليها</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_KIND_STOPPED</source>
        <translation>لم تتم استعادة %1: توقفت الاستعادة قبلها</translation>
    </message>
    <message>
        <source>IDS_RESTORE_SHOW_DETAILS_BUTTON</source>
        <translation>عرض التفاصيل</translation>
    </message>
    <message>
        <source>IDS_RESTORE_HIDE_DETAILS_BUTTON</source>
        <translation>إخفاء التفاصيل</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DETAILS_NAME</source>
        <translation>ما تعذرت استعادته</translation>
    </message>
    <message>
        <source>IDS_RESTORE_TRY_AGAIN_BUTTON</source>
        <translation>إعادة المحاولة</translation>
    </message>
</context>
<context>
    <name>RestoreReasons</name>
    <message>
        <source>needs an app on the phone</source>
        <translation>يحتاج إلى تطبيق على الهاتف</translation>
    </message>
    <message>
        <source>not in this backup</source>
        <translation>غير موجود في هذه النسخة</translation>
    </message>
    <message>
        <source>not available on this phone</source>
        <translation>غير متاح على هذا الهاتف</translation>
    </message>
    <message>
        <source>phone disconnected</source>
        <translation>تم فصل الهاتف</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>أُلغي</translation>
    </message>
    <message>
        <source>no space on the phone</source>
        <translation>لا توجد مساحة على الهاتف</translation>
    </message>
    <message>
        <source>missing from the backup folder</source>
        <translation>مفقود من مجلد النسخة الاحتياطية</translation>
    </message>
    <message>
        <source>not attempted</source>
        <translation>لم تتم المحاولة</translation>
    </message>
    <message>
        <source>in an app&apos;s private folder (Android/data, Android/obb), which the phone keeps for that app</source>
        <translation>في مجلد خاص بتطبيق (Android/data، Android/obb) يحتفظ به الهاتف لذلك التطبيق</translation>
    </message>
    <message>
        <source>another file appeared at that path on the phone</source>
        <translation>ظهر ملف آخر في هذا المسار على الهاتف</translation>
    </message>
    <message>
        <source>Android 12 or newer</source>
        <translation>Android 12 أو أحدث</translation>
    </message>
</context>
</TS>
