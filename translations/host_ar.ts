<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>SMSUIPlugin</name>
    <message>
        <source>IDS_BTN_BROWSE</source>
        <translation>استعراض...</translation>
    </message>
    <message>
        <source>IDS_BTN_CANCEL</source>
        <translation>إلغاء</translation>
    </message>
    <message>
        <source>IDS_BTN_CLOSE</source>
        <translation>إغلاق</translation>
    </message>
    <message>
        <source>IDS_BTN_PLAY</source>
        <translation>تجربة</translation>
    </message>
    <message>
        <source>IDS_BTN_SAVE</source>
        <translation>حفظ</translation>
    </message>
    <message>
        <source>IDS_BTN_SENDTO</source>
        <translation>إرسال إلى...</translation>
    </message>
    <message>
        <source>IDS_BTN_STOP</source>
        <translation>إيقاف</translation>
    </message>
    <message>
        <source>IDS_BTN_VIEW</source>
        <translation>عرض</translation>
    </message>
    <message>
        <source>IDS_CANCEL</source>
        <translation>إلغاء</translation>
    </message>
    <message>
        <source>IDS_CBX_RECEIPT</source>
        <translation>طلب تقرير التسليم</translation>
    </message>
    <message>
        <source>IDS_CBX_SOUNDALERT</source>
        <translation>تشغيل صوت عند وصول رسالة</translation>
    </message>
    <message>
        <source>IDS_CBX_VISIONALERT</source>
        <translation>إظهار تنبيه عند وصول رسالة</translation>
    </message>
    <message>
        <source>IDS_DualModeCard_STC_FULL</source>
        <translation>ذاكرة البطاقة ممتلئة. لا يمكن استقبال رسائل جديدة حتى تحذف بعضها.</translation>
    </message>
    <message>
        <source>IDS_ERROR_CAPTION</source>
        <translation>خطأ</translation>
    </message>
    <message>
        <source>IDS_EXPORT_SMSALL</source>
        <translation>تصدير كل الرسائل...</translation>
    </message>
    <message>
        <source>IDS_EXPORT_SMSSELECT</source>
        <translation>تصدير الرسائل المحددة...</translation>
    </message>
    <message>
        <source>IDS_GBX_ALERT</source>
        <translation>التنبيهات</translation>
    </message>
    <message>
        <source>IDS_GBX_SMSSETTING</source>
        <translation>مركز الرسائل</translation>
    </message>
    <message>
        <source>IDS_GBX_SMS_SAVE_MODE</source>
        <translation>حفظ الرسائل المستلمة في</translation>
    </message>
    <message>
        <source>IDS_LBL_FAILED</source>
        <translation>فشل</translation>
    </message>
    <message>
        <source>IDS_LBL_PENDING</source>
        <translation>قيد الانتظار</translation>
    </message>
    <message>
        <source>IDS_LBL_SUCCESS</source>
        <translation>تم التسليم</translation>
    </message>
    <message>
        <source>IDS_LST_CONTENT</source>
        <translation>المحتوى</translation>
    </message>
    <message>
        <source>IDS_LST_NAME</source>
        <translation>الاسم</translation>
    </message>
    <message>
        <source>IDS_LST_TEL</source>
        <translation>الرقم</translation>
    </message>
    <message>
        <source>IDS_LST_TIME</source>
        <translation>الوقت</translation>
    </message>
    <message>
        <source>IDS_MENU_CALL</source>
        <translation>اتصال&#x9;Ctrl+Shift+C</translation>
    </message>
    <message>
        <source>IDS_MENU_CLEARALL</source>
        <translation>حذف الكل</translation>
    </message>
    <message>
        <source>IDS_MENU_COPY2</source>
        <translation>نسخ إلى</translation>
    </message>
    <message>
        <source>IDS_MENU_COPYAll2</source>
        <translation>نسخ الكل إلى</translation>
    </message>
    <message>
        <source>IDS_MENU_DELETE</source>
        <translation>حذف&#x9;Del</translation>
    </message>
    <message>
        <source>IDS_MENU_EDIT</source>
        <translation>تحرير&#x9;Ctrl+E</translation>
    </message>
    <message>
        <source>IDS_MENU_FORWARD</source>
        <translation>إعادة توجيه&#x9;Ctrl+Shift+F</translation>
    </message>
    <message>
        <source>IDS_MENU_MOVE2</source>
        <translation>نقل إلى</translation>
    </message>
    <message>
        <source>IDS_MENU_MOVEAll2</source>
        <translation>نقل الكل إلى</translation>
    </message>
    <message>
        <source>IDS_MENU_NEW</source>
        <translation>جديد&#x9;Ctrl+N</translation>
    </message>
    <message>
        <source>IDS_MENU_RECOVER</source>
        <translation>استعادة</translation>
    </message>
    <message>
        <source>IDS_MENU_REPLY</source>
        <translation>رد&#x9;Ctrl+R</translation>
    </message>
    <message>
        <source>IDS_MENU_SAVENUMBER</source>
        <translation>حفظ الرقم في جهات الاتصال</translation>
    </message>
    <message>
        <source>IDS_MENU_SEARCH</source>
        <translation>بحث</translation>
    </message>
    <message>
        <source>IDS_MENU_SEND</source>
        <translation>إرسال&#x9;Ctrl+Shift+S</translation>
    </message>
    <message>
        <source>IDS_MENU_VIDEO_CALL</source>
        <translation>مكالمة فيديو</translation>
    </message>
    <message>
        <source>IDS_NO</source>
        <translation>لا</translation>
    </message>
    <message>
        <source>IDS_OK</source>
        <translation>موافق</translation>
    </message>
    <message>
        <source>IDS_PROMPT_CAPTION</source>
        <translation>الرسائل</translation>
    </message>
    <message>
        <source>IDS_RAD_EMERGENCY</source>
        <translation>طوارئ</translation>
    </message>
    <message>
        <source>IDS_RAD_NORMAL</source>
        <translation>عادي</translation>
    </message>
    <message>
        <source>IDS_RAD_SMS_SAVE_PC</source>
        <translation>هذا الحاسوب</translation>
    </message>
    <message>
        <source>IDS_RAD_SMS_SAVE_SIM</source>
        <translation>بطاقة %s</translation>
    </message>
    <message>
        <source>IDS_RAD_URGENT</source>
        <translation>عاجل</translation>
    </message>
    <message>
        <source>IDS_SETTING_NAME</source>
        <translation>الرسائل</translation>
    </message>
    <message>
        <source>IDS_SMS_BACKUPFAILURE</source>
        <translation>تعذر تصدير الرسائل.</translation>
    </message>
    <message>
        <source>IDS_SMS_BACKUPSUCCESS</source>
        <translation>تم تصدير الرسائل.</translation>
    </message>
    <message>
        <source>IDS_STC_ALLFAILED</source>
        <translation>تعذر إرسال أي رسالة.</translation>
    </message>
    <message>
        <source>IDS_STC_ALLSUCCESS</source>
        <translation>تم إرسال كل الرسائل.</translation>
    </message>
    <message>
        <source>IDS_STC_COPYINGSMS</source>
        <translation>جارٍ نسخ الرسائل...</translation>
    </message>
    <message>
        <source>IDS_STC_DELETINGSMS</source>
        <translation>جارٍ حذف الرسائل...</translation>
    </message>
    <message>
        <source>IDS_STC_DEVICESMSFULL</source>
        <translation>ذاكرة الجهاز ممتلئة. احذف رسائل لاستقبال رسائل جديدة.</translation>
    </message>
    <message>
        <source>IDS_STC_LOCALSMSFULL</source>
        <translation>مساحة تخزين الرسائل على هذا الحاسوب ممتلئة.</translation>
    </message>
    <message>
        <source>IDS_STC_MOVINGSMS</source>
        <translation>جارٍ نقل الرسائل...</translation>
    </message>
    <message>
        <source>IDS_STC_NEWMSG</source>
        <translation>رسالة جديدة</translation>
    </message>
    <message>
        <source>IDS_STC_PRIORITY</source>
        <translation>الأولوية</translation>
    </message>
    <message>
        <source>IDS_STC_SENDINGSMS</source>
        <translation>جارٍ إرسال الرسائل...</translation>
    </message>
    <message>
        <source>IDS_STC_SIMSMSFULL</source>
        <translation>ذاكرة بطاقة %s ممتلئة. احذف رسائل لاستقبال رسائل جديدة.</translation>
    </message>
    <message>
        <source>IDS_STC_SMSCENTERNUMBER</source>
        <translation>رقم مركز الرسائل:</translation>
    </message>
    <message>
        <source>IDS_STC_SOMEFAILED</source>
        <translation>تعذر إرسال بعض الرسائل.</translation>
    </message>
    <message>
        <source>IDS_STC_SOUNDFILE</source>
        <translation>ملف الصوت:</translation>
    </message>
    <message>
        <source>IDS_STC_VALIDTIME</source>
        <translation>مدة الصلاحية:</translation>
    </message>
    <message>
        <source>IDS_STR_ALL_FAILED</source>
        <translation>فشلت العملية لكل الرسائل.</translation>
    </message>
    <message>
        <source>IDS_STR_AUDIOFILENOTEXIST</source>
        <translation>ملف الصوت غير موجود أو ليس ملف WAV أو MIDI.</translation>
    </message>
    <message>
        <source>IDS_STR_CALLNUMBERISNULL</source>
        <translation>لا يوجد رقم للاتصال به.</translation>
    </message>
    <message>
        <source>IDS_STR_CALLNUMBERONLYONE</source>
        <translation>اختر رسالة تحتوي على رقم واحد فقط للاتصال.</translation>
    </message>
    <message>
        <source>IDS_STR_CANCELLING</source>
        <translation>جارٍ الإلغاء...</translation>
    </message>
    <message>
        <source>IDS_STR_CENTERNUMBERNULL</source>
        <translation>أدخل رقم مركز الرسائل.</translation>
    </message>
    <message>
        <source>IDS_STR_CLEARALL</source>
        <translation>حذف كل الرسائل في هذا المجلد؟</translation>
    </message>
    <message>
        <source>IDS_STR_COPY2</source>
        <translation>نسخ الرسائل المحددة إلى %s؟</translation>
    </message>
    <message>
        <source>IDS_STR_COPYALL2</source>
        <translation>نسخ كل رسائل هذا المجلد إلى %s؟</translation>
    </message>
    <message>
        <source>IDS_STR_DELETE</source>
        <translation>حذف الرسائل المحددة؟</translation>
    </message>
    <message>
        <source>IDS_STR_MAKECALLFAILED</source>
        <translation>تعذر بدء المكالمة.</translation>
    </message>
    <message>
        <source>IDS_STR_MEMORY_IS_FULL</source>
        <translation>%s ممتلئة.</translation>
    </message>
    <message>
        <source>IDS_STR_MOVE2</source>
        <translation>نقل الرسائل المحددة إلى %s؟</translation>
    </message>
    <message>
        <source>IDS_STR_MOVEALL2</source>
        <translation>نقل كل رسائل هذا المجلد إلى %s؟</translation>
    </message>
    <message>
        <source>IDS_STR_NUMBERINVALID</source>
        <translation>الرقم غير صالح. استخدم الأرقام و + و * و # فقط.</translation>
    </message>
    <message>
        <source>IDS_STR_OPENAUDIOFILEFAILED</source>
        <translation>تعذر تشغيل ملف الصوت.</translation>
    </message>
    <message>
        <source>IDS_STR_PROMPT</source>
        <translation>الرسائل</translation>
    </message>
    <message>
        <source>IDS_STR_SAVECHANGES</source>
        <translation>حفظ هذه الرسالة في المسودات؟</translation>
    </message>
    <message>
        <source>IDS_STR_SAVENUMBERISNULL</source>
        <translation>لا يوجد رقم للحفظ.</translation>
    </message>
    <message>
        <source>IDS_STR_SAVENUMBERONLYONE</source>
        <translation>اختر رسالة تحتوي على رقم واحد فقط للحفظ.</translation>
    </message>
    <message>
        <source>IDS_STR_SMSCOUNT</source>
        <translation>عدد الرسائل: </translation>
    </message>
    <message>
        <source>IDS_STR_SOME_FAILED</source>
        <translation>فشلت العملية لبعض الرسائل.</translation>
    </message>
    <message>
        <source>IDS_TIP_CALL</source>
        <translation>اتصال&#x9;Ctrl+Shift+C</translation>
    </message>
    <message>
        <source>IDS_TIP_DELETE</source>
        <translation>حذف&#x9;Del</translation>
    </message>
    <message>
        <source>IDS_TIP_FORWARD</source>
        <translation>إعادة توجيه&#x9;Ctrl+Shift+F</translation>
    </message>
    <message>
        <source>IDS_TIP_NEW</source>
        <translation>جديد&#x9;Ctrl+N</translation>
    </message>
    <message>
        <source>IDS_TIP_REPLY</source>
        <translation>رد&#x9;Ctrl+R</translation>
    </message>
    <message>
        <source>IDS_TIP_SEARCH</source>
        <translation>بحث</translation>
    </message>
    <message>
        <source>IDS_TIP_SEND</source>
        <translation>إعادة الإرسال&#x9;Ctrl+Shift+S</translation>
    </message>
    <message>
        <source>IDS_TREE_CBSBOX</source>
        <translation>رسائل البث الخلوي</translation>
    </message>
    <message>
        <source>IDS_TREE_DEVICE</source>
        <translation>الجهاز</translation>
    </message>
    <message>
        <source>IDS_TREE_DINBOX</source>
        <translation>الوارد</translation>
    </message>
    <message>
        <source>IDS_TREE_DOUTBOX</source>
        <translation>الصادر</translation>
    </message>
    <message>
        <source>IDS_TREE_LDRAFT</source>
        <translation>المسودات</translation>
    </message>
    <message>
        <source>IDS_TREE_LFAVORITE</source>
        <translation>المفضلة</translation>
    </message>
    <message>
        <source>IDS_TREE_LINBOX</source>
        <translation>الوارد</translation>
    </message>
    <message>
        <source>IDS_TREE_LOCAL</source>
        <translation>هذا الحاسوب</translation>
    </message>
    <message>
        <source>IDS_TREE_LOUTBOX</source>
        <translation>الصادر</translation>
    </message>
    <message>
        <source>IDS_TREE_LREPORT</source>
        <translation>تقارير التسليم</translation>
    </message>
    <message>
        <source>IDS_TREE_LSENTITEMS</source>
        <translation>المرسلة</translation>
    </message>
    <message>
        <source>IDS_TREE_LTRASH</source>
        <translation>سلة المحذوفات</translation>
    </message>
    <message>
        <source>IDS_TREE_READING_DATA</source>
        <translation> (جارٍ القراءة...)</translation>
    </message>
    <message>
        <source>IDS_TREE_SIM</source>
        <translation>بطاقة %s</translation>
    </message>
    <message>
        <source>IDS_TREE_SINBOX</source>
        <translation>الوارد</translation>
    </message>
    <message>
        <source>IDS_TREE_SOUTBOX</source>
        <translation>الصادر</translation>
    </message>
    <message>
        <source>IDS_TTL_EDIT</source>
        <translation>تحرير الرسالة</translation>
    </message>
    <message>
        <source>IDS_TTL_FORWARD</source>
        <translation>إعادة توجيه الرسالة</translation>
    </message>
    <message>
        <source>IDS_TTL_NEW</source>
        <translation>رسالة جديدة</translation>
    </message>
    <message>
        <source>IDS_TTL_REPLY</source>
        <translation>رد</translation>
    </message>
    <message>
        <source>IDS_TTL_SEND</source>
        <translation>إرسال</translation>
    </message>
    <message>
        <source>IDS_YES</source>
        <translation>نعم</translation>
    </message>
    <message>
        <source>IDS_VALIDITY_12H</source>
        <translation>12 ساعة</translation>
    </message>
    <message>
        <source>IDS_VALIDITY_1D</source>
        <translation>24 ساعة</translation>
    </message>
    <message>
        <source>IDS_VALIDITY_30D</source>
        <translation>30 يومًا</translation>
    </message>
    <message>
        <source>IDS_VALIDITY_MAX</source>
        <translation>الحد الأقصى (63 أسبوعًا)</translation>
    </message>
</context>
<context>
    <name>XFramePlugin</name>
    <message>
        <source>IDS_APPLY</source>
        <translation>تطبيق</translation>
    </message>
    <message>
        <source>IDS_CANCEL</source>
        <translation>إلغاء</translation>
    </message>
    <message>
        <source>IDS_DEV_CBS</source>
        <translation>استقبال بث خلوي</translation>
    </message>
    <message>
        <source>IDS_DEV_FILL_DEVICE</source>
        <translation>ملء ذاكرة الجهاز</translation>
    </message>
    <message>
        <source>IDS_DEV_FILL_SIM</source>
        <translation>ملء ذاكرة البطاقة</translation>
    </message>
    <message>
        <source>IDS_DEV_FLASH</source>
        <translation>استقبال رسالة فورية</translation>
    </message>
    <message>
        <source>IDS_DEV_FLIGHT</source>
        <translation>وضع الطيران</translation>
    </message>
    <message>
        <source>IDS_DEV_PLUGGED</source>
        <translation>توصيل الجهاز</translation>
    </message>
    <message>
        <source>IDS_DEV_RECEIVE</source>
        <translation>استقبال رسالة</translation>
    </message>
    <message>
        <source>IDS_DEV_RECEIVE_SIM</source>
        <translation>استقبال رسالة على البطاقة</translation>
    </message>
    <message>
        <source>IDS_DEV_REMOVED</source>
        <translation>فصل الجهاز</translation>
    </message>
    <message>
        <source>IDS_DEV_REPORT</source>
        <translation>استقبال تقرير تسليم</translation>
    </message>
    <message>
        <source>IDS_DEV_SEND_FAILS</source>
        <translation>فشل الإرسال</translation>
    </message>
    <message>
        <source>IDS_DEV_SIM_IN</source>
        <translation>إدخال البطاقة</translation>
    </message>
    <message>
        <source>IDS_DEV_SIM_OUT</source>
        <translation>إزالة البطاقة</translation>
    </message>
    <message>
        <source>IDS_FRAME_DEVICE</source>
        <translation>&amp;الجهاز</translation>
    </message>
    <message>
        <source>IDS_FRAME_FILE</source>
        <translation>&amp;ملف</translation>
    </message>
    <message>
        <source>IDS_FRAME_LANGUAGE</source>
        <translation>&amp;اللغة</translation>
    </message>
    <message>
        <source>IDS_FRAME_NO_PLUGIN</source>
        <translation>تعذر تحميل أي مكون صفحة.</translation>
    </message>
    <message>
        <source>IDS_FRAME_QUIT</source>
        <translation>&amp;خروج&#x9;Ctrl+Q</translation>
    </message>
    <message>
        <source>IDS_FRAME_SETTINGS</source>
        <translation>&amp;الإعدادات...</translation>
    </message>
    <message>
        <source>IDS_FRAME_SETTINGS_NOT_SAVED</source>
        <translation>تعذّر حفظ بعض إعدادات &quot;%1&quot;. تحقق من الجهاز وحاول مرة أخرى.</translation>
    </message>
    <message>
        <source>IDS_FRAME_SETTINGS_INVALID</source>
        <translation>بعض الإعدادات غير صالحة. صححها قبل الإغلاق.</translation>
    </message>
    <message>
        <source>IDS_FRAME_SETTINGS_TITLE</source>
        <translation>الإعدادات</translation>
    </message>
    <message>
        <source>IDS_FRAME_DESKTOP_TAB</source>
        <translation>سطح المكتب</translation>
    </message>
    <message>
        <source>IDS_FRAME_DESKTOP_NOTIFY</source>
        <translation>إظهار إشعار على سطح المكتب عند وصول رسالة</translation>
    </message>
    <message>
        <source>IDS_FRAME_DESKTOP_NO_SERVICE</source>
        <translation>لا يوفر سطح المكتب هذا خدمة إشعارات.</translation>
    </message>
    <message>
        <source>IDS_FRAME_SMS_PAGE</source>
        <translation>الرسائل</translation>
    </message>
    <message>
        <source>IDS_FRAME_TITLE</source>
        <translation>مدير النطاق العريض المحمول</translation>
    </message>
    <message>
        <source>IDS_FRAME_UNREAD</source>
        <translation>رسائل غير مقروءة: %1</translation>
    </message>
    <message>
        <source>IDS_NO</source>
        <translation>لا</translation>
    </message>
    <message>
        <source>IDS_OK</source>
        <translation>موافق</translation>
    </message>
    <message>
        <source>IDS_YES</source>
        <translation>نعم</translation>
    </message>
    <message>
        <source>IDS_FRAME_ASK_NUMBER</source>
        <translation>رقم المرسل:</translation>
    </message>
    <message>
        <source>IDS_FRAME_ASK_TEXT</source>
        <translation>نص الرسالة:</translation>
    </message>
    <message>
        <source>IDS_FRAME_LANGUAGE_MISSING</source>
        <translation>ملف اللغة &apos;%1&apos; غير موجود</translation>
    </message>
    <message>
        <source>IDS_FRAME_CAN_SEND</source>
        <translation>يمكن إرسال الرسائل</translation>
    </message>
    <message>
        <source>IDS_FRAME_CANNOT_SEND</source>
        <translation>لا يمكن إرسال الرسائل الآن</translation>
    </message>
    <message>
        <source>IDS_FRAME_SETTINGS_CLOSED</source>
        <translation>أُزيل الجهاز؛ أُغلقت الإعدادات دون حفظ.</translation>
    </message>
    <message>
        <source>IDS_FRAME_PICK_TITLE</source>
        <translation>إرسال إلى</translation>
    </message>
    <message>
        <source>IDS_FRAME_PICK_SEARCH</source>
        <translation>البحث في جهات الاتصال</translation>
    </message>
    <message>
        <source>IDS_FRAME_PICK_NUMBERS</source>
        <translation>أرقام أخرى (مفصولة بـ ; أو ,):</translation>
    </message>
    <message>
        <source>IDS_FRAME_PICK_INVALID</source>
        <translation>هذه ليست أرقام هواتف وقد تم استبعادها: %1</translation>
    </message>
    <message>
        <source>IDS_FRAME_SAVE_NUMBER_FAILED</source>
        <translation>تعذّر حفظ الرقم %1 في دفتر الهاتف. حاول مرة أخرى عندما يكون الجهاز متصلاً.</translation>
    </message>
    <message>
        <source>IDS_FRAME_STORE_TITLE</source>
        <translation>مخزن الرسائل</translation>
    </message>
    <message>
        <source>IDS_FRAME_STORE_READONLY</source>
        <translation>يمكن قراءة مخزن الرسائل فقط: لا يمكن حفظ التغييرات على الرسائل.</translation>
    </message>
    <message>
        <source>IDS_FRAME_STORE_NONE</source>
        <translation>تعذّر فتح مخزن الرسائل: لا يمكن حفظ الرسائل.</translation>
    </message>
    <message>
        <source>IDS_TIP_MORE</source>
        <translation>مزيد من الأوامر</translation>
    </message>
</context>
</TS>
