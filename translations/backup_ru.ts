<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU" sourcelanguage="en_US">
<context>
    <name>BackUpUIPlugin</name>
    <message>
        <source>IDS_BACKUPUIPLUGIN_LOGBUTTONTEXT</source>
        <translation>Резервная копия</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DESCRIPTIONINFO_TEXT</source>
        <translation>Выберите, что скопировать с телефона на этот компьютер, и нажмите «Начать».</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_CONTACTS_TEXT</source>
        <translation>Контакты</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_INFORMATION_TEXT</source>
        <translation>Сообщения</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_APPLICATION_TEXT</source>
        <translation>Приложения</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_APPDATA_TEXT</source>
        <translation>Данные ПО</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_IMAGEVEDIO_TEXT</source>
        <translation>Фото и видео</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_MUSICITEM_TEXT</source>
        <translation>Музыка</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_OTHER_TEXT</source>
        <translation>Другое</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_EMAIL_TEXT</source>
        <translation>Эл. почта</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_SCHEDULE_TEXT</source>
        <translation>Календарь</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_BOOKMARK_TEXT</source>
        <translation>Закладки</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CORE_CALLLOG_TEXT</source>
        <translation>Журнал вызовов</translation>
    </message>
    <message>
        <source>IDS_VIRTUAL_SMSNAME_IDENTIFER</source>
        <translation>SMS</translation>
    </message>
    <message>
        <source>IDS_VIRTUAL_CORE_MMSTEXT</source>
        <translation>MMS</translation>
    </message>
    <message>
        <source>IDS_VIRTUAL_IMAGEINFO_CORE</source>
        <translation>Фото</translation>
    </message>
    <message>
        <source>IDS_VIRTUAL_IDENTIFER_VEDIOTEXT</source>
        <translation>Видео</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_TIME_REMAINING_ONEMINUTE</source>
        <translation>Около 1 мин</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_NEEDTIME_TEXT</source>
        <translation>Около %1 мин</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMMON_SIGN_DUNHAO</source>
        <translation>,</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DSTLABER_TEXT</source>
        <translation>Сохранить копию в:</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DSTDISCCAPACITY_TEXT</source>
        <translation>Свободно на %s1: %s2</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DISKSPACESTATUS_TEXT</source>
        <translation>Недостаточно места. Выберите другую папку или меньше данных.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DSTNOTWRITABLE_TEXT</source>
        <translation>В эту папку нельзя записать (%s). Выберите другую папку.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PREPARE_BROWSE</source>
        <translation>Изменить...</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_NEXTBUTTON</source>
        <translation>Начать</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CANCELBUTTON</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_FINISHBUTTON</source>
        <translation>Готово</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT</source>
        <translation>Копирование: %s1...</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT_PRO</source>
        <translation>Копирование: %s1 — %s2 из %s3</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOINGCANCEL_DESCRIPTION_TEXT</source>
        <translation>Остановить резервное копирование? Уже скопированные данные будут удалены.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPSUC_LABEL</source>
        <translation>Резервное копирование завершено.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPFAIL_LABEL</source>
        <translation>Резервное копирование не удалось.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPPART_LABEL</source>
        <translation>Резервное копирование выполнено не полностью.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPINTERRUPTED_LABEL</source>
        <translation>Резервное копирование прервано.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_PHONE_DISCONNECTED_LABEL</source>
        <translation>Телефон был отключён во время резервного копирования. Ничего из этой резервной копии не сохранено. Подключите телефон и начните копирование заново.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_PHONE_INTERRUPTED_LABEL</source>
        <translation>Телефон был отключён во время резервного копирования. Копирование прервано: сохранено файлов: %s; начните заново, чтобы завершить. Подключите телефон и снова запустите копирование в ту же папку: сохранённые файлы не будут копироваться повторно.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_PARTIAL_ITEM_TEXT</source>
        <translation>%s1 (скопировано %s2 из %s3)</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_SECONDDOING_FINISHING_TIPTEXT</source>
        <translation>Завершение резервного копирования...</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_SORRY_LABEL</source>
        <translation> Не удалось скопировать: </translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_RESULT_LABEL</source>
        <translation>Переподключите телефон и повторите копирование этих данных.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_ANOTHER_BACKUP_LABEL</source>
        <translation>На этом компьютере уже идёт другое резервное копирование. Повторите попытку, когда оно завершится.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_GET_PHONE_MEM_FAIL_LABEL</source>
        <translation>Не удалось прочитать память телефона. Переподключите телефон и повторите попытку.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_NO_ENOUGH_SPACE_LABEL</source>
        <translation>Для подготовки копии на телефоне нужно не менее 5 МБ свободной памяти. Освободите место и повторите попытку.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_PB_TIPTEXT</source>
        <translation>Скопировано контактов: %s. Контакты на SIM-карте и в учётных записях, запрещающих экспорт, пропущены.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_APK_TIPTEXT</source>
        <translation>Скопировано приложений: %s. Системные приложения и приложения, которые нельзя скопировать, пропущены.</translation>
    </message>
    <message>
        <source>IDS_CORE_UNIT_B</source>
        <translation>Б</translation>
    </message>
    <message>
        <source>IDS_CORE_UNIT_KB</source>
        <translation>КБ</translation>
    </message>
    <message>
        <source>IDS_CORE_UNIT_MB</source>
        <translation>МБ</translation>
    </message>
    <message>
        <source>IDS_CORE_UNIT_GB</source>
        <translation>ГБ</translation>
    </message>
    <message>
        <source>IDS_CORE_UNIT_TB</source>
        <translation>ТБ</translation>
    </message>
    <message>
        <source>IDS_CORE_OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>IDS_CORE_CANCEL</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_ACCESSIBLE_COUNT</source>
        <translation>Элементов: %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_WAITING_ACCESSIBLE_TEXT</source>
        <translation>Чтение данных телефона, подождите</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOING_PROGRESS_ACCESSIBLE_TEXT</source>
        <translation>Ход резервного копирования</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOING_TIMELEFT_UNDER_MINUTE_TEXT</source>
        <translation>Осталось меньше минуты</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOING_TIMELEFT_MINUTES_TEXT</source>
        <translation>Осталось около %1 мин</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOING_TIMELEFT_HOURS_TEXT</source>
        <translation>Осталось около %1 ч %2 мин</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOINGCANCEL_STOP_BUTTON</source>
        <translation>Остановить</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_DOINGCANCEL_CONTINUE_BUTTON</source>
        <translation>Продолжить</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_BIGBUTTON_NOTAVAILABLE_TEXT</source>
        <translation>Недоступно на этом телефоне</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_APKDATA_TIPTEXT</source>
        <translation>Скопированы данные %s1 из %s2 приложений. Приложения, данные которых нельзя прочитать, пропущены.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_FOLDER_TEXT</source>
        <translation>Сохранено в %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_OPENFOLDER_BUTTON</source>
        <translation>Открыть папку</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_NOTAVAILABLE_TIPTEXT</source>
        <translation>Недоступно на этом телефоне, поэтому не сохранено: %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_TITLE</source>
        <translation>Подключите телефон</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PICKER_TITLE</source>
        <translation>Выберите телефон для резервного копирования</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STEP1_TEXT</source>
        <translation>Включите на телефоне отладку по USB: в «Настройки → О телефоне» семь раз нажмите «Номер сборки», затем включите «Настройки → Система → Для разработчиков → Отладка по USB».</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STEP2_TEXT</source>
        <translation>Подключите телефон к этому компьютеру кабелем USB.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STEP3_TEXT</source>
        <translation>Когда телефон спросит «Разрешить отладку по USB?», отметьте «Всегда разрешать этому компьютеру» и нажмите «Разрешить».</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_PHONES_CAPTION</source>
        <translation>Телефоны, которые видит компьютер</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_NOPHONE_TEXT</source>
        <translation>Телефон пока не подключён. Резервное копирование продолжится само, как только телефон будет готов.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_NOSERVER_TEXT</source>
        <translation>Не удаётся запустить Android Debug Bridge (adb), поэтому телефоны не видны (%s1). Установите его командой «sudo apt-get install adb»; эта страница продолжит поиск.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STATE_READY</source>
        <translation>%s1 (%s2): готов</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STATE_UNAUTHORIZED</source>
        <translation>%s1 (%s2): ждёт, когда вы нажмёте «Разрешить» на телефоне.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STATE_OFFLINE</source>
        <translation>%s1 (%s2): не в сети. Разблокируйте телефон или отключите и снова подключите его.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STATE_NOPERMISSIONS</source>
        <translation>%s1 (%s2): этому пользователю недоступно USB-устройство телефона. Установите правила udev («sudo apt-get install android-sdk-platform-tools-common»), добавьте себя в группу plugdev («sudo usermod -aG plugdev $USER», затем выйдите из системы и войдите снова), после чего отключите и снова подключите телефон.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_STATE_CONNECTING</source>
        <translation>%s1 (%s2): подключение...</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_OPENFAILED_TEXT</source>
        <translation>Не удаётся открыть %s1: %s2</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_CAPTION</source>
        <translation>Подключение по Wi-Fi</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_NOTE</source>
        <translation>Для телефона, у которого уже работает беспроводная отладка: введите его адрес в виде ХОСТ:ПОРТ. Сопряжение по коду невозможно: adb 29 из Debian не умеет сопрягать.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_BUTTON</source>
        <translation>Подключить</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_BADADDRESS_TEXT</source>
        <translation>Введите адрес в виде ХОСТ:ПОРТ, например 192.168.1.20:5555.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_CONNECTING_TEXT</source>
        <translation>Подключение к %s1...</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_CONNECTED_TEXT</source>
        <translation>Подключено к %s1. Если телефон спросит, нажмите «Разрешить».</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_CONNECT_WIFI_FAILED_TEXT</source>
        <translation>Не удаётся подключиться к %s1: %s2</translation>
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
        <translation>образец телефона</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PHONE_UNKNOWN_MODEL</source>
        <translation>Неизвестная модель</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PHONE_REASON_UNAUTHORIZED</source>
        <translation>нажмите «Разрешить» на телефоне</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PHONE_REASON_OFFLINE</source>
        <translation>не в сети</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PHONE_REASON_NOPERMISSIONS</source>
        <translation>нет доступа к его USB-устройству</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PHONE_REASON_CONNECTING</source>
        <translation>подключается</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PICKER_ROW_TEXT</source>
        <translation>%s1, серийный номер %s2, %s3</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PICKER_UNUSABLE_TEXT</source>
        <translation>%s1: %s2</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PICKER_DESCRIPTION_TEXT</source>
        <translation>Подключено несколько телефонов. Выберите, какой из них сохранить.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PICKER_USE_BUTTON</source>
        <translation>Выбрать</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_HEADER_PHONE_TEXT</source>
        <translation>%s1, с/н %s2</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_TRYAGAIN_BUTTON</source>
        <translation>Повторить</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_NO_PHONE_LABEL</source>
        <translation>При запуске резервного копирования телефон не был подключён. Ничего не сохранено. Подключите телефон и повторите.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_WAITING_READING_TEXT</source>
        <translation>Чтение данных телефона…</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_WAITING_CANCELLING_TEXT</source>
        <translation>Остановка резервного копирования…</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PREPARE_SELECTION_TEXT</source>
        <translation>Выбрано: %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PREPARE_SELECTION_ITEMS</source>
        <translation>%s элем.</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_PREPARE_SELECTION_NONE</source>
        <translation>Ничего не выбрано</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_COUNTS_TEXT</source>
        <translation>Сохранено: %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_TOTALSIZE_TEXT</source>
        <translation>Общий размер: %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_PACKAGE_TEXT</source>
        <translation>Пакет: %s</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_SHOWDETAILS_BUTTON</source>
        <translation>Подробнее</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_HIDEDETAILS_BUTTON</source>
        <translation>Скрыть подробности</translation>
    </message>
    <message>
        <source>IDS_BACKUPUIPLUGIN_COMPLETE_NOTCOPIED_LIST</source>
        <translation>Файлы и приложения, которые не удалось скопировать</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ENTRY_BUTTON</source>
        <translation>Восстановить копию…</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_TITLE</source>
        <translation>Выберите резервную копию для восстановления</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_FOLDER</source>
        <translation>Резервные копии в %s</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHANGE_FOLDER_NAME</source>
        <translation>Выбрать другую папку с копиями</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_NONE</source>
        <translation>В этой папке нет резервных копий. Выберите другую папку кнопкой «Изменить...».</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_DAMAGED</source>
        <translation>Повреждена: эту копию нельзя восстановить</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_INTERRUPTED</source>
        <translation>Прервана: сохранено файлов: %s, пакета нет; чтобы завершить её, снова сделайте резервную копию телефона в эту папку</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_VERIFIED</source>
        <translation>проверена</translation>
    </message>
    <message>
        <source>IDS_RESTORE_CHOOSE_OTHER_PHONE</source>
        <translation>Эта копия сделана с другого телефона (%s). Её всё равно можно восстановить на этот телефон.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_NEXT_BUTTON</source>
        <translation>Далее</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ITEMS_TITLE</source>
        <translation>Выберите, что восстановить</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ITEMS_READING</source>
        <translation>Чтение %s и телефона…</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ITEMS_FROM</source>
        <translation>Из резервной копии %s:</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ITEMS_COUNT</source>
        <translation>%1 (%2 в копии)</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ITEMS_COUNT_THERE</source>
        <translation>%1 (%2 в копии, %3 уже на телефоне)</translation>
    </message>
    <message>
        <source>IDS_RESTORE_ITEMS_NOT_RESTORABLE</source>
        <translation>%1: нельзя восстановить (%2)</translation>
    </message>
    <message>
        <source>IDS_RESTORE_START_BUTTON</source>
        <translation>Восстановить</translation>
    </message>
    <message>
        <source>IDS_RESTORE_BACK_BUTTON</source>
        <translation>Назад</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_TITLE</source>
        <translation>Восстановление резервной копии</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_PREPARING</source>
        <translation>Подготовка…</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_ITEM</source>
        <translation>Восстановление: %1…</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_FILES</source>
        <translation>%1 из %2 файлов, %3 из %4</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_STOP_QUESTION</source>
        <translation>Остановить восстановление? То, что уже на телефоне, останется там.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_STOP_BUTTON</source>
        <translation>Остановить</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DOING_STOPPING</source>
        <translation>Остановка…</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_COMPLETE</source>
        <translation>Восстановление завершено.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_INCOMPLETE</source>
        <translation>Восстановление не завершено.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_CANCELLED</source>
        <translation>Восстановление остановлено.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_DISCONNECTED</source>
        <translation>Восстановление прервано: телефон отключён.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_NOT_STARTED</source>
        <translation>Не удалось восстановить копию.</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_KIND_LINE</source>
        <translation>%1: восстановлено %2, уже на телефоне %3, не удалось %4</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_KIND_NOT_REACHED</source>
        <translation>%1: не восстановлено, восстановление остановилось раньше</translation>
    </message>
    <message>
        <source>IDS_RESTORE_RESULT_KIND_STOPPED</source>
        <translation>не восстановлено %1: восстановление остановилось раньше</translation>
    </message>
    <message>
        <source>IDS_RESTORE_SHOW_DETAILS_BUTTON</source>
        <translation>Подробнее</translation>
    </message>
    <message>
        <source>IDS_RESTORE_HIDE_DETAILS_BUTTON</source>
        <translation>Скрыть подробности</translation>
    </message>
    <message>
        <source>IDS_RESTORE_DETAILS_NAME</source>
        <translation>Что не удалось восстановить</translation>
    </message>
    <message>
        <source>IDS_RESTORE_TRY_AGAIN_BUTTON</source>
        <translation>Повторить</translation>
    </message>
</context>
<context>
    <name>RestoreReasons</name>
    <message>
        <source>needs an app on the phone</source>
        <translation>нужно приложение на телефоне</translation>
    </message>
    <message>
        <source>not in this backup</source>
        <translation>нет в этой копии</translation>
    </message>
    <message>
        <source>not available on this phone</source>
        <translation>недоступно на этом телефоне</translation>
    </message>
    <message>
        <source>phone disconnected</source>
        <translation>телефон отключён</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>отменено</translation>
    </message>
    <message>
        <source>no space on the phone</source>
        <translation>на телефоне нет места</translation>
    </message>
    <message>
        <source>missing from the backup folder</source>
        <translation>нет в папке резервной копии</translation>
    </message>
    <message>
        <source>not attempted</source>
        <translation>не выполнялось</translation>
    </message>
    <message>
        <source>in an app&apos;s private folder (Android/data, Android/obb), which the phone keeps for that app</source>
        <translation>в личной папке приложения (Android/data, Android/obb), которую телефон хранит для него</translation>
    </message>
    <message>
        <source>another file appeared at that path on the phone</source>
        <translation>по этому пути на телефоне появился другой файл</translation>
    </message>
    <message>
        <source>Android 12 or newer</source>
        <translation>Android 12 или новее</translation>
    </message>
</context>
</TS>
