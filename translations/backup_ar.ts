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
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_PHONE_DISCONNECTED_LABEL</source>
        <translation>تم فصل الهاتف أثناء النسخ الاحتياطي. لم يُحفظ أي شيء من هذا النسخ. أعد توصيل الهاتف وابدأ النسخ الاحتياطي من جديد.</translation>
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
</context>
</TS>
