<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>Catalogue</name>
    <message>
        <source>Тип двигателя электрогенератора</source>
        <translation>Generator engine type</translation>
    </message>
    <message>
        <source>бензин</source>
        <translation>petrol</translation>
    </message>
    <message>
        <source>Параметры сети</source>
        <translation>Mains parameters</translation>
    </message>
    <message>
        <source>Напряжение сети</source>
        <translation>Mains voltage</translation>
    </message>
    <message>
        <source>Нижний порог</source>
        <translation>Lower threshold</translation>
    </message>
    <message>
        <source>Вольт</source>
        <translation>Volt</translation>
    </message>
    <message>
        <source>Верхний порог</source>
        <translation>Upper threshold</translation>
    </message>
    <message>
        <source>Временные константы</source>
        <translation>Time constants</translation>
    </message>
    <message>
        <source>Пропадание сети</source>
        <translation>Mains loss</translation>
    </message>
    <message>
        <source>Сек.</source>
        <translation>sec.</translation>
    </message>
    <message>
        <source>Появление сети</source>
        <translation>Mains return</translation>
    </message>
    <message>
        <source>Параметры электрогенератора</source>
        <translation>Generator parameters</translation>
    </message>
    <message>
        <source>Напряжение электрогенератора</source>
        <translation>Generator voltage</translation>
    </message>
    <message>
        <source>Активность функции</source>
        <translation>Function enabled</translation>
    </message>
    <message>
        <source>вкл.</source>
        <translation>on</translation>
    </message>
    <message>
        <source>Таймаут низкого напряжения</source>
        <translation>Low voltage timeout</translation>
    </message>
    <message>
        <source>Таймаут высокого напряжения</source>
        <translation>High voltage timeout</translation>
    </message>
    <message>
        <source>Прогрев</source>
        <translation>Warm-up</translation>
    </message>
    <message>
        <source>Охлаждение</source>
        <translation>Cool-down</translation>
    </message>
    <message>
        <source>Запуск электрогенератора</source>
        <translation>Generator start</translation>
    </message>
    <message>
        <source>Мах время вращения статера</source>
        <translation>Max starter cranking time</translation>
    </message>
    <message>
        <source>Количество попыток запуска</source>
        <translation>Number of start attempts</translation>
    </message>
    <message>
        <source>к-во</source>
        <translation>count</translation>
    </message>
    <message>
        <source>Маx время закрытой заслонки</source>
        <translation>Max choke closed time</translation>
    </message>
    <message>
        <source>Число цилиндров двигателя</source>
        <translation>Number of engine cylinders</translation>
    </message>
    <message>
        <source>Еженедельный тестовый запуск</source>
        <translation>Weekly test start</translation>
    </message>
    <message>
        <source>выкл.</source>
        <translation>off</translation>
    </message>
    <message>
        <source>День недели</source>
        <translation>Day of week</translation>
    </message>
    <message>
        <source>пн-вс</source>
        <translation>Mon-Sun</translation>
    </message>
    <message>
        <source>Час</source>
        <translation>Hour</translation>
    </message>
    <message>
        <source>Минута</source>
        <translation>Minute</translation>
    </message>
    <message>
        <source>Длительность запуска</source>
        <translation>Run duration</translation>
    </message>
    <message>
        <source>Режим работа/отдых</source>
        <translation>Run/rest mode</translation>
    </message>
    <message>
        <source>Длительность работы</source>
        <translation>Run time</translation>
    </message>
    <message>
        <source>Длительность отдыха</source>
        <translation>Rest time</translation>
    </message>
    <message>
        <source>Проведение ТО</source>
        <translation>Maintenance</translation>
    </message>
    <message>
        <source>Начальное значение счетчика</source>
        <translation>Counter start value</translation>
    </message>
    <message>
        <source>Период проведения ТО</source>
        <translation>Maintenance interval</translation>
    </message>
    <message>
        <source>Контроль АКБ ГУ</source>
        <translation>Generator battery check</translation>
    </message>
    <message>
        <source>Нижний порог напряжения АКБ ГУ</source>
        <translation>Generator battery low voltage</translation>
    </message>
    <message>
        <source>мВ x 100</source>
        <translation>mV x 100</translation>
    </message>
    <message>
        <source>Контроль АКБ ИБП</source>
        <translation>UPS battery check</translation>
    </message>
    <message>
        <source>Нижний порог напряжения АКБ ИБП</source>
        <translation>UPS battery low voltage</translation>
    </message>
    <message>
        <source>Верхний порог напряжения АКБ ИБП</source>
        <translation>UPS battery high voltage</translation>
    </message>
    <message>
        <source>Таймаут зарядки АКБ ИБП</source>
        <translation>UPS battery charge timeout</translation>
    </message>
    <message>
        <source>Параметры GSM модема</source>
        <translation>GSM modem parameters</translation>
    </message>
    <message>
        <source>Активность GSM модема</source>
        <translation>GSM modem enabled</translation>
    </message>
    <message>
        <source>GPRS мониторинг</source>
        <translation>GPRS monitoring</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>Login</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Точка доступа/APN</source>
        <translation>Access point/APN</translation>
    </message>
    <message>
        <source>Счетчик удачных отправок</source>
        <translation>Successful sends</translation>
    </message>
    <message>
        <source>Счетчик неудачных отправок</source>
        <translation>Failed sends</translation>
    </message>
    <message>
        <source>Таймаут SMS-ответа</source>
        <translation>SMS reply timeout</translation>
    </message>
    <message>
        <source>Таймаут ответа сервера</source>
        <translation>Server reply timeout</translation>
    </message>
    <message>
        <source>Телефонный номер 1</source>
        <translation>Phone number 1</translation>
    </message>
    <message>
        <source>Номер абонента</source>
        <translation>Subscriber number</translation>
    </message>
    <message>
        <source>Активность и уровень доступа</source>
        <translation>Enabled and access level</translation>
    </message>
    <message>
        <source>Тип отправляемых сообщений</source>
        <translation>Messages sent</translation>
    </message>
    <message>
        <source>только аварии</source>
        <translation>alarms only</translation>
    </message>
    <message>
        <source>Телефонный номер 2</source>
        <translation>Phone number 2</translation>
    </message>
    <message>
        <source>Телефонный номер 3</source>
        <translation>Phone number 3</translation>
    </message>
    <message>
        <source>Телефонный номер 4</source>
        <translation>Phone number 4</translation>
    </message>
    <message>
        <source>Телефонный номер 5</source>
        <translation>Phone number 5</translation>
    </message>
    <message>
        <source>Телефонный номер 6</source>
        <translation>Phone number 6</translation>
    </message>
    <message>
        <source>Термодатчик</source>
        <translation>Temperature sensor</translation>
    </message>
    <message>
        <source>Активность датчика</source>
        <translation>Sensor enabled</translation>
    </message>
    <message>
        <source>Нижний порог температуры</source>
        <translation>Low temperature threshold</translation>
    </message>
    <message>
        <source>градус</source>
        <translation>degree</translation>
    </message>
    <message>
        <source>Серийный номер устройства</source>
        <translation>Device serial number</translation>
    </message>
    <message>
        <source>дизель</source>
        <translation>diesel</translation>
    </message>
    <message>
        <source>Время прогрева свечи</source>
        <translation>Glow plug heating time</translation>
    </message>
    <message>
        <source>сухой контакт</source>
        <translation>dry contact</translation>
    </message>
    <message>
        <source>Таймаут запуска/останова ГУ</source>
        <translation>Generator start/stop timeout</translation>
    </message>
    <message>
        <source>англ.</source>
        <translation>Engl.</translation>
    </message>
    <message>
        <source>рус.</source>
        <translation>Russ.</translation>
    </message>
    <message>
        <source>основн. события</source>
        <translation>main events</translation>
    </message>
    <message>
        <source>все события</source>
        <translation>all events</translation>
    </message>
    <message>
        <source>информир.</source>
        <translation>inform</translation>
    </message>
    <message>
        <source>управление</source>
        <translation>control</translation>
    </message>
    <message>
        <source>без подключ. нагр.</source>
        <translation>without load</translation>
    </message>
    <message>
        <source>с подключ. нагр.</source>
        <translation>with load</translation>
    </message>
    <message>
        <source>КУВ-бензин v2.0 </source>
        <translation>KUV petrol v2.0 </translation>
    </message>
    <message>
        <source>КУВ-дизель v2.0 </source>
        <translation>KUV diesel v2.0 </translation>
    </message>
    <message>
        <source>КУВ-сухой контакт v2.0 </source>
        <translation>KUV dry contact v2.0 </translation>
    </message>
</context>
<context>
    <name>ConfigImage</name>
    <message>
        <source>%1: значение &apos;%2&apos; не является целым числом</source>
        <translation>%1: value &apos;%2&apos; is not a whole number</translation>
    </message>
    <message>
        <source>%1: номер &apos;%2&apos; должен начинаться с десяти цифр</source>
        <translation>%1: number &apos;%2&apos; must begin with ten digits</translation>
    </message>
</context>
<context>
    <name>ConfigTransfer</name>
    <message>
        <source>Чтение параметров из устройства...</source>
        <translation>Reading parameters from the device...</translation>
    </message>
    <message>
        <source>Параметры успешно прочитаны из устройства.</source>
        <translation>Parameters read from the device successfully.</translation>
    </message>
    <message>
        <source>Запись параметров в устройство...</source>
        <translation>Writing parameters to the device...</translation>
    </message>
    <message>
        <source>Параметры успешно записаны в устройство.</source>
        <translation>Parameters written to the device successfully.</translation>
    </message>
    <message>
        <source>В дереве нет полного набора параметров: выберите вариант устройства в списке</source>
        <translation>The tree does not hold a whole parameter set: choose the device variant in the list</translation>
    </message>
    <message>
        <source>Вариант устройства сменился во время обмена: параметры не прочитаны</source>
        <translation>The device variant changed during the exchange: parameters not read</translation>
    </message>
    <message>
        <source>Вариант устройства сменился во время обмена: параметры не записаны</source>
        <translation>The device variant changed during the exchange: parameters not written</translation>
    </message>
    <message>
        <source>Запись прервана: ни один блок не записан</source>
        <translation>Write interrupted: no block written</translation>
    </message>
    <message>
        <source>Запись прервана: записан блок 1 из %1</source>
        <translation>Write interrupted: block 1 of %1 written</translation>
    </message>
    <message>
        <source>Запись прервана: записаны блоки 1-%1 из %2</source>
        <translation>Write interrupted: blocks 1-%1 of %2 written</translation>
    </message>
    <message>
        <source>Параметры в дереве не прочитаны из этого устройства и не открыты из файла: запись отменена. Нажмите «Прочитать» или «Открыть».</source>
        <translation>The parameters in the tree were neither read from this device nor opened from a file: nothing was written. Press “Read” or “Open”.</translation>
    </message>
</context>
<context>
    <name>ConnectionState</name>
    <message>
        <source>Подключено</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>Нет данных</source>
        <translation>No data</translation>
    </message>
    <message>
        <source>Показана запись</source>
        <translation>Recording shown</translation>
    </message>
    <message>
        <source>Не подключено</source>
        <translation>Not connected</translation>
    </message>
</context>
<context>
    <name>EditWarnings</name>
    <message>
        <source>Значение должно быть числом</source>
        <translation>The value must be a number</translation>
    </message>
    <message>
        <source>Значение вне диапазона</source>
        <translation>The value is out of range</translation>
    </message>
    <message>
        <source>Значение должно быть целым числом</source>
        <translation>The value must be a whole number</translation>
    </message>
    <message>
        <source>Номер должен содержать 10 цифр</source>
        <translation>The number must have 10 digits</translation>
    </message>
    <message>
        <source>Текст длиннее %1 символов</source>
        <translation>The text is longer than %1 characters</translation>
    </message>
    <message>
        <source>Текст содержит недопустимые символы</source>
        <translation>The text contains characters that cannot be stored</translation>
    </message>
    <message>
        <source>«%1»</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>Значение должно быть одним из: %1</source>
        <translation>The value must be one of: %1</translation>
    </message>
    <message>
        <source>Значение не может содержать символ ;</source>
        <translation>The value cannot contain the character ;</translation>
    </message>
</context>
<context>
    <name>FileWriting</name>
    <message>
        <source>Запись отклонена: %1 — это папка</source>
        <translation>Not written: %1 is a folder</translation>
    </message>
    <message>
        <source>Запись отклонена: %1 не является обычным файлом</source>
        <translation>Not written: %1 is not a regular file</translation>
    </message>
</context>
<context>
    <name>Journal</name>
    <message>
        <source>пропадание сети</source>
        <translation>mains loss</translation>
    </message>
    <message>
        <source>запуск ГУ</source>
        <translation>generator start</translation>
    </message>
    <message>
        <source>работа ГУ</source>
        <translation>generator running</translation>
    </message>
    <message>
        <source>появление сети</source>
        <translation>mains return</translation>
    </message>
    <message>
        <source>включение БУЭ</source>
        <translation>controller power-on</translation>
    </message>
    <message>
        <source>ручной режим</source>
        <translation>manual mode</translation>
    </message>
    <message>
        <source>автоматический режим</source>
        <translation>automatic mode</translation>
    </message>
    <message>
        <source>тестовый запуск</source>
        <translation>test start</translation>
    </message>
    <message>
        <source>отдых ГУ</source>
        <translation>generator rest</translation>
    </message>
    <message>
        <source>останов ГУ</source>
        <translation>generator stop</translation>
    </message>
    <message>
        <source>работа ИБП</source>
        <translation>UPS operation</translation>
    </message>
    <message>
        <source>авария: разряд АКБ ГУ</source>
        <translation>alarm: generator battery discharged</translation>
    </message>
    <message>
        <source>авария: напряжение ГУ вне дипазона</source>
        <translation>alarm: generator voltage out of range</translation>
    </message>
    <message>
        <source>авария: нет запуска ГУ</source>
        <translation>alarm: generator did not start</translation>
    </message>
    <message>
        <source>авария: нет останова ГУ</source>
        <translation>alarm: generator did not stop</translation>
    </message>
    <message>
        <source>авария: нет импульсов с магнето</source>
        <translation>alarm: no magneto pulses</translation>
    </message>
    <message>
        <source>авария: нет напряжения с альтернатора</source>
        <translation>alarm: no alternator voltage</translation>
    </message>
    <message>
        <source>авария: частота ГУ вне диапазона</source>
        <translation>alarm: generator frequency out of range</translation>
    </message>
    <message>
        <source>Журнал аварий</source>
        <translation>Alarm journal</translation>
    </message>
    <message>
        <source>Журнал событий</source>
        <translation>Event journal</translation>
    </message>
    <message>
        <source>код %1</source>
        <translation>code %1</translation>
    </message>
</context>
<context>
    <name>JournalReading</name>
    <message>
        <source>Чтение журнала: %1 из %2</source>
        <translation>Reading journal: %1 of %2</translation>
    </message>
    <message>
        <source>-- запись %1 не прочитана --</source>
        <translation>-- entry %1 not read --</translation>
    </message>
    <message>
        <source>Не прочитано записей: %1</source>
        <translation>Entries not read: %1</translation>
    </message>
    <message>
        <source>%1 может быть неполным</source>
        <translation>%1 may be incomplete</translation>
    </message>
    <message>
        <source>Прочитано записей: %1</source>
        <translation>Entries read: %1</translation>
    </message>
</context>
<context>
    <name>LinkTexts</name>
    <message>
        <source>Нет связи. Устройство занято или не подключено. Попробуйте еще раз.</source>
        <translation>No connection. The device is busy or not connected. Please try again.</translation>
    </message>
    <message>
        <source>глююююк</source>
        <translation>glitch</translation>
    </message>
    <message>
        <source>Ошибка записи в порт: команда не отправлена.</source>
        <translation>Port write error: the command was not sent.</translation>
    </message>
    <message>
        <source>Порт закрыт: устройство отключено</source>
        <translation>Port closed: device disconnected</translation>
    </message>
    <message>
        <source>Порт открыт снова: %1</source>
        <translation>Port open again: %1</translation>
    </message>
    <message>
        <source>Нет прав на порт: добавьте пользователя %1 в группу %2 (sudo usermod -aG %2 %1) и войдите в систему заново.</source>
        <translation>No permission for the port: add user %1 to group %2 (sudo usermod -aG %2 %1) and log in again.</translation>
    </message>
    <message>
        <source>Соединение потеряно: %1</source>
        <translation>Connection lost: %1</translation>
    </message>
    <message>
        <source>Сеть: %1 мс</source>
        <translation>Network: %1 ms</translation>
    </message>
    <message>
        <source>Порт не выбран</source>
        <translation>No port selected</translation>
    </message>
</context>
<context>
    <name>Measurement</name>
    <message>
        <source>Режим работы устройства</source>
        <translation>Device operating mode</translation>
    </message>
    <message>
        <source>Фаза А</source>
        <translation>Phase A</translation>
    </message>
    <message>
        <source>Фаза B</source>
        <translation>Phase B</translation>
    </message>
    <message>
        <source>Фаза С</source>
        <translation>Phase C</translation>
    </message>
    <message>
        <source>Фаза ГУ</source>
        <translation>Generator phase</translation>
    </message>
    <message>
        <source>Напряжение АКБ</source>
        <translation>Battery voltage</translation>
    </message>
    <message>
        <source>Напряжение ИБП</source>
        <translation>UPS voltage</translation>
    </message>
    <message>
        <source>Счетчик моточасов</source>
        <translation>Engine hours</translation>
    </message>
    <message>
        <source>До проведения ТО</source>
        <translation>To maintenance</translation>
    </message>
    <message>
        <source>Системное время</source>
        <translation>System time</translation>
    </message>
    <message>
        <source>Уровень GSM сигнала</source>
        <translation>GSM signal level</translation>
    </message>
    <message>
        <source>Резистрация в сети</source>
        <translation>Network registration</translation>
    </message>
    <message>
        <source>Датчики температуры</source>
        <translation>Temperature sensors</translation>
    </message>
    <message>
        <source>В</source>
        <translation>V</translation>
    </message>
    <message>
        <source> В</source>
        <translation> V</translation>
    </message>
    <message>
        <source>дБм</source>
        <translation>dBm</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Предупреждение</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Информация</source>
        <translation>Information</translation>
    </message>
</context>
<context>
    <name>ParamChanges</name>
    <message>
        <source>Запись не подтверждена: устройство вернуло другие значения.</source>
        <translation>Write not confirmed: the device returned other values.</translation>
    </message>
    <message>
        <source>%1: записано &quot;%2&quot;, прочитано &quot;%3&quot;</source>
        <translation>%1: written &quot;%2&quot;, read &quot;%3&quot;</translation>
    </message>
    <message>
        <source>и ещё %1</source>
        <translation>and %1 more</translation>
    </message>
    <message>
        <source>В устройстве: %1</source>
        <translation>In device: %1</translation>
    </message>
    <message>
        <source>Изменено параметров: %1</source>
        <translation>Parameters changed: %1</translation>
    </message>
    <message>
        <source>Параметр</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>В устройстве</source>
        <translation>In device</translation>
    </message>
    <message>
        <source>Новое значение</source>
        <translation>New value</translation>
    </message>
</context>
<context>
    <name>ParamEditor</name>
    <message>
        <source>Дерево параметров изменилось, пока был открыт диалог: значение не установлено.</source>
        <translation>The parameter tree changed while the dialog was open: the value was not set.</translation>
    </message>
</context>
<context>
    <name>ParamFile</name>
    <message>
        <source>Файл %1 записан в UTF-16; сохраните его как текст в UTF-8 или Windows-1251</source>
        <translation>File %1 is in UTF-16; save it as UTF-8 or Windows-1251 text</translation>
    </message>
    <message>
        <source>Файл %1, строка %2: недопустимый управляющий байт 0x%3</source>
        <translation>File %1, line %2: control byte 0x%3 is not allowed</translation>
    </message>
    <message>
        <source>Файл %1, строка %2: &apos;%3&apos; не является числом от 0 до 255</source>
        <translation>File %1, line %2: &apos;%3&apos; is not a number from 0 to 255</translation>
    </message>
    <message>
        <source>Файл %1 не содержит ни одного значения</source>
        <translation>File %1 holds no value</translation>
    </message>
    <message>
        <source>Файл %1 не найден</source>
        <translation>File %1 not found</translation>
    </message>
    <message>
        <source>%1 — это папка, а не файл параметров</source>
        <translation>%1 is a folder, not a parameter file</translation>
    </message>
    <message>
        <source>%1 не является обычным файлом</source>
        <translation>%1 is not a regular file</translation>
    </message>
    <message>
        <source>Файл %1 слишком велик для файла параметров (допустимо не более %2 байт)</source>
        <translation>File %1 is too large for a parameter file (at most %2 bytes)</translation>
    </message>
    <message>
        <source>Не удалось открыть файл %1: %2</source>
        <translation>Cannot open file %1: %2</translation>
    </message>
    <message>
        <source>Не удалось прочитать файл %1: %2</source>
        <translation>Cannot read file %1: %2</translation>
    </message>
    <message>
        <source>Не удалось создать файл %1: %2</source>
        <translation>Cannot create file %1: %2</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation>Cannot write file %1: %2</translation>
    </message>
</context>
<context>
    <name>ParamLimits</name>
    <message>
        <source>Допустимо: %1…%2</source>
        <translation>Allowed: %1…%2</translation>
    </message>
    <message>
        <source>Вне допустимых пределов: %1…%2</source>
        <translation>Outside the allowed limits: %1…%2</translation>
    </message>
    <message>
        <source>Параметров вне допустимых пределов: %1</source>
        <translation>Parameters outside the allowed limits: %1</translation>
    </message>
    <message>
        <source>Параметры не записаны: значения вне допустимых пределов.</source>
        <translation>Parameters not written: values outside the allowed limits.</translation>
    </message>
    <message>
        <source>%1: %2 (допустимо %3…%4)</source>
        <translation>%1: %2 (allowed %3…%4)</translation>
    </message>
</context>
<context>
    <name>ParamModel</name>
    <message>
        <source>Параметр</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>Значение</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Ед. измер.</source>
        <translation>Units</translation>
    </message>
    <message>
        <source>Мин. знач</source>
        <translation>Min. value</translation>
    </message>
    <message>
        <source>Макс.знач.</source>
        <translation>Max. value</translation>
    </message>
</context>
<context>
    <name>Recording</name>
    <message>
        <source>Файл %1 не найден</source>
        <translation>File %1 not found</translation>
    </message>
    <message>
        <source>%1 — это папка, а не запись сеанса</source>
        <translation>%1 is a folder, not a session recording</translation>
    </message>
    <message>
        <source>%1 не является обычным файлом</source>
        <translation>%1 is not a regular file</translation>
    </message>
    <message>
        <source>Не удалось открыть файл %1: %2</source>
        <translation>Cannot open file %1: %2</translation>
    </message>
    <message>
        <source>Не удалось прочитать файл %1: %2</source>
        <translation>Cannot read file %1: %2</translation>
    </message>
    <message>
        <source>Файл %1 записан в UTF-16 и не является записью сеанса</source>
        <translation>File %1 is in UTF-16 and is not a session recording</translation>
    </message>
    <message>
        <source>Файл %1 не является записью сеанса</source>
        <translation>File %1 is not a session recording</translation>
    </message>
    <message>
        <source>Файл %1: запись сеанса версии %2 не поддерживается</source>
        <translation>File %1: session recording version %2 is not supported</translation>
    </message>
    <message>
        <source>Файл %1, строка %2: неверная строка записи сеанса</source>
        <translation>File %1, line %2: not a line of a session recording</translation>
    </message>
    <message>
        <source>Файл %1, строка %2: время меньше, чем в предыдущей строке</source>
        <translation>File %1, line %2: the time is earlier than on the line before</translation>
    </message>
    <message>
        <source>Файл %1, строка %2: строка слишком длинная</source>
        <translation>File %1, line %2: the line is too long</translation>
    </message>
    <message>
        <source>Файл %1: сжатые данные повреждены после строки %2</source>
        <translation>File %1: the compressed data are damaged after line %2</translation>
    </message>
    <message>
        <source>Файл %1, строка %2: время позже 9999 года</source>
        <translation>File %1, line %2: the time is past the year 9999</translation>
    </message>
    <message>
        <source>Не удалось создать файл записи сеанса %1: %2</source>
        <translation>Cannot create session recording file %1: %2</translation>
    </message>
    <message>
        <source>Запись сеанса в файл %1 остановлена: %2</source>
        <translation>Session recording to %1 stopped: %2</translation>
    </message>
</context>
<context>
    <name>RecordingTransport</name>
    <message>
        <source>Файл %1 изменился во время показа: показ остановлен. Откройте запись снова.</source>
        <translation>The file %1 changed while it was shown: playback stopped. Open the recording again.</translation>
    </message>
</context>
<context>
    <name>ServiceChange</name>
    <message>
        <source>неизвестно</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>%1 ч %2 мин</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>Заменить %1 на %2?</source>
        <translation>Replace %1 with %2?</translation>
    </message>
    <message>
        <source>Счетчик моточасов</source>
        <translation>Engine hours</translation>
    </message>
    <message>
        <source>Серийный номер устройства</source>
        <translation>Device serial number</translation>
    </message>
    <message>
        <source>Заменить</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>Отправлено: %1 %2 (было %3)</source>
        <translation>Sent: %1 %2 (was %3)</translation>
    </message>
    <message>
        <source>Прежнее значение: %1</source>
        <translation>Previous value: %1</translation>
    </message>
    <message>
        <source>не задан</source>
        <translation>not set</translation>
    </message>
</context>
<context>
    <name>ServicePayloads</name>
    <message>
        <source>Длительность должна быть не больше %1 ч %2 мин</source>
        <translation>The duration must be at most %1 h %2 min</translation>
    </message>
    <message>
        <source>Счетчик моточасов должен быть от 0 до %1 ч %2 мин</source>
        <translation>The engine-hour counter must be from 0 to %1 h %2 min</translation>
    </message>
    <message>
        <source>Символ «%1» нельзя записать в серийный номер устройства</source>
        <translation>The character «%1» cannot be written into the device serial number</translation>
    </message>
    <message>
        <source>Серийный номер должен состоять из %1 символов, введено %2</source>
        <translation>The serial number must be %1 characters long, %2 given</translation>
    </message>
</context>
<context>
    <name>SourceTexts</name>
    <message>
        <source>Запись сеанса %1 завершена: выбран другой порт</source>
        <translation>Session recording %1 ended: another port was chosen</translation>
    </message>
    <message>
        <source>Запись сеанса %1 завершена: порт потерян</source>
        <translation>Session recording %1 ended: the port was lost</translation>
    </message>
    <message>
        <source>Запись сеанса %1 завершена: открыта запись сеанса</source>
        <translation>Session recording %1 ended: a session recording was opened</translation>
    </message>
    <message>
        <source>Порт %1 не открыт снова после записи сеанса:
%2</source>
        <translation>The port %1 could not be opened again after the session recording:
%2</translation>
    </message>
    <message>
        <source>Запись в файл приостановлена: показана запись сеанса</source>
        <translation>Recording to file paused: a session recording is shown</translation>
    </message>
    <message>
        <source>Запись в файл остановлена: порт не открыт снова</source>
        <translation>Recording to file stopped: the port was not opened again</translation>
    </message>
</context>
<context>
    <name>StatusRows</name>
    <message>
        <source>Вариант</source>
        <translation>Variant</translation>
    </message>
    <message>
        <source>Режим</source>
        <translation>Mode</translation>
    </message>
</context>
<context>
    <name>Telemetry</name>
    <message>
        <source>Питание от сети</source>
        <translation>Mains power</translation>
    </message>
    <message>
        <source>Пропадание сети
<byte value="xd"/></source>
        <translation>Mains loss
<byte value="xd"/></translation>
    </message>
    <message>
        <source>Появление сети
<byte value="xd"/></source>
        <translation>Mains return
<byte value="xd"/></translation>
    </message>
    <message>
        <source>Запуск ГУ
<byte value="xd"/></source>
        <translation>Generator start
<byte value="xd"/></translation>
    </message>
    <message>
        <source>Прогрев ГУ
<byte value="xd"/></source>
        <translation>Generator warm-up
<byte value="xd"/></translation>
    </message>
    <message>
        <source>Работа ГУ
<byte value="xd"/></source>
        <translation>Generator running
<byte value="xd"/></translation>
    </message>
    <message>
        <source>Отдых ГУ
<byte value="xd"/></source>
        <translation>Generator rest
<byte value="xd"/></translation>
    </message>
    <message>
        <source>Охлаждение ГУ
<byte value="xd"/></source>
        <translation>Generator cool-down
<byte value="xd"/></translation>
    </message>
    <message>
        <source>Останов ГУ</source>
        <translation>Generator stop</translation>
    </message>
    <message>
        <source>Работа ИБП
<byte value="xd"/></source>
        <translation>UPS operation
<byte value="xd"/></translation>
    </message>
    <message>
        <source>Охлаждение ГУ nl
<byte value="xd"/></source>
        <translation>Generator cool-down nl
<byte value="xd"/></translation>
    </message>
    <message>
        <source>Останов ГУ nl</source>
        <translation>Generator stop nl</translation>
    </message>
    <message>
        <source>Короткое замыкание</source>
        <translation>Short circuit</translation>
    </message>
    <message>
        <source>Авария:
<byte value="xd"/>нет запуска ГУ</source>
        <translation>Alarm:
<byte value="xd"/>generator did not start</translation>
    </message>
    <message>
        <source>Авария:
<byte value="xd"/>разряд АКБ ГУ</source>
        <translation>Alarm:
<byte value="xd"/>generator battery discharged</translation>
    </message>
    <message>
        <source>Авария:
<byte value="xd"/>произвольный останов ГУ</source>
        <translation>Alarm:
<byte value="xd"/>generator stopped by itself</translation>
    </message>
    <message>
        <source>Авария:
<byte value="xd"/>нет останова ГУ</source>
        <translation>Alarm:
<byte value="xd"/>generator did not stop</translation>
    </message>
    <message>
        <source>Авария:
<byte value="xd"/>нет импульсов магнето</source>
        <translation>Alarm:
<byte value="xd"/>no magneto pulses</translation>
    </message>
    <message>
        <source>Авария:
<byte value="xd"/>нет напряжения альтернатора</source>
        <translation>Alarm:
<byte value="xd"/>no alternator voltage</translation>
    </message>
    <message>
        <source>Авария:
<byte value="xd"/>частота ГУ вне диапазона</source>
        <translation>Alarm:
<byte value="xd"/>generator frequency out of range</translation>
    </message>
    <message>
        <source>Авария:
<byte value="xd"/>короткое замыкание</source>
        <translation>Alarm:
<byte value="xd"/>short circuit</translation>
    </message>
    <message>
        <source>Uгу ниже нормы
<byte value="xd"/></source>
        <translation>Ugen below normal
<byte value="xd"/></translation>
    </message>
    <message>
        <source>Uгу выше нормы
<byte value="xd"/></source>
        <translation>Ugen above normal
<byte value="xd"/></translation>
    </message>
    <message>
        <source>Авария:
<byte value="xd"/>Uгу ниже нормы</source>
        <translation>Alarm:
<byte value="xd"/>Ugen below normal</translation>
    </message>
    <message>
        <source>Авария:
<byte value="xd"/>Uгу выше нормы</source>
        <translation>Alarm:
<byte value="xd"/>Ugen above normal</translation>
    </message>
    <message>
        <source>Режим ожидания
<byte value="xd"/></source>
        <translation>Standby
<byte value="xd"/></translation>
    </message>
    <message>
        <source>останов  </source>
        <translation>stop     </translation>
    </message>
    <message>
        <source>клапан   </source>
        <translation>valve    </translation>
    </message>
    <message>
        <source>заслонка </source>
        <translation>choke    </translation>
    </message>
    <message>
        <source>стартер  </source>
        <translation>starter  </translation>
    </message>
    <message>
        <source>Не зарегистрирован.
<byte value="xd"/>Поиск сети не ведется</source>
        <translation>Not registered.
<byte value="xd"/>Not searching</translation>
    </message>
    <message>
        <source>Зарегистрирован
<byte value="xd"/>в домашней сети</source>
        <translation>Registered
<byte value="xd"/>home network</translation>
    </message>
    <message>
        <source>Не зарегистрирован
<byte value="xd"/>Поиск сети</source>
        <translation>Not registered
<byte value="xd"/>Searching</translation>
    </message>
    <message>
        <source>Регистрация отклонена</source>
        <translation>Registration denied</translation>
    </message>
    <message>
        <source>Хер значет че происходит</source>
        <translation>Unknown state</translation>
    </message>
    <message>
        <source>Зарегистрирован
<byte value="xd"/>в роуминге</source>
        <translation>Registered
<byte value="xd"/>roaming</translation>
    </message>
    <message>
        <source>Ручной режим</source>
        <translation>Manual mode</translation>
    </message>
    <message>
        <source>%1ч %2м</source>
        <translation>%1h %2m</translation>
    </message>
    <message>
        <source>Ручной</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>Авто</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Полуавто</source>
        <translation>Semi-auto</translation>
    </message>
    <message>
        <source>3ф сеть</source>
        <translation>3-ph mains</translation>
    </message>
    <message>
        <source>дистанц. запуск</source>
        <translation>remote start</translation>
    </message>
    <message>
        <source>тестовый запуск</source>
        <translation>test start</translation>
    </message>
    <message>
        <source>частота ГУ</source>
        <translation>gen. frequency</translation>
    </message>
    <message>
        <source>GPRS</source>
        <translation>GPRS</translation>
    </message>
    <message>
        <source>Период ТО</source>
        <translation>Maintenance</translation>
    </message>
    <message>
        <source>АКБ ГУ</source>
        <translation>Gen. battery</translation>
    </message>
    <message>
        <source>АКБ ИБП</source>
        <translation>UPS battery</translation>
    </message>
    <message>
        <source>Работа/отдых</source>
        <translation>Run/rest</translation>
    </message>
    <message>
        <source>Еженедельный</source>
        <translation>Weekly</translation>
    </message>
    <message>
        <source>Контроль КЗ</source>
        <translation>Short check</translation>
    </message>
    <message>
        <source>GSM модем</source>
        <translation>GSM modem</translation>
    </message>
    <message>
        <source>Термодатчик</source>
        <translation>Thermo sensor</translation>
    </message>
</context>
<context>
    <name>TelemetryCsv</name>
    <message>
        <source>Не удалось открыть файл записи %1: %2</source>
        <translation>Cannot open recording file %1: %2</translation>
    </message>
    <message>
        <source>Не удалось записать в файл записи %1: %2</source>
        <translation>Cannot write to recording file %1: %2</translation>
    </message>
</context>
<context>
    <name>VisitArchive</name>
    <message>
        <source>не удалось создать папку %1</source>
        <translation>cannot create the folder %1</translation>
    </message>
    <message>
        <source>не удалось создать папку в %1</source>
        <translation>cannot create a folder in %1</translation>
    </message>
</context>
<context>
    <name>VisitReport</name>
    <message>
        <source>Вариант</source>
        <translation>Variant</translation>
    </message>
    <message>
        <source>Серийный номер</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>не задан</source>
        <translation>not set</translation>
    </message>
    <message>
        <source>Дата и время</source>
        <translation>Date and time</translation>
    </message>
    <message>
        <source>Версия программы</source>
        <translation>Program version</translation>
    </message>
    <message>
        <source>Отчёт о сервисном визите</source>
        <translation>Service visit report</translation>
    </message>
    <message>
        <source>Заметки</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>Измерения</source>
        <translation>Measurements</translation>
    </message>
    <message>
        <source>Нет данных от контроллера</source>
        <translation>No data from the controller</translation>
    </message>
    <message>
        <source>Флаги</source>
        <translation>Flags</translation>
    </message>
    <message>
        <source>Параметр</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>Значение</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Ед. изм.</source>
        <translation>Units</translation>
    </message>
    <message>
        <source>При прибытии</source>
        <translation>On arrival</translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Изменено в этом визите: %1 (значение при прибытии в последнем столбце)</source>
        <translation>Changed in this visit: %1 (the value on arrival in the last column)</translation>
    </message>
    <message>
        <source>Запись подтверждена чтением, %1</source>
        <translation>Write confirmed by reading back, %1</translation>
    </message>
    <message>
        <source>Журналы не прочитаны</source>
        <translation>Journals not read</translation>
    </message>
    <message>
        <source>Записей нет</source>
        <translation>No entries</translation>
    </message>
    <message>
        <source>Не удалось сохранить %1: %2</source>
        <translation>Cannot save %1: %2</translation>
    </message>
</context>
<context>
    <name>gencfg</name>
    <message>
        <source>текст с управляющими символами</source>
        <translation>a text with control characters</translation>
    </message>
    <message>
        <source>слишком длинный текст</source>
        <translation>a text too long</translation>
    </message>
    <message>
        <source>неизвестный вид визита</source>
        <translation>an unknown kind of visit</translation>
    </message>
    <message>
        <source>образ параметров длиной %1 байт</source>
        <translation>a parameter image of %1 bytes</translation>
    </message>
    <message>
        <source>журнал или состояние больше %1 байт</source>
        <translation>a journal or status larger than %1 bytes</translation>
    </message>
    <message>
        <source>дата визита в будущем</source>
        <translation>a visit dated in the future</translation>
    </message>
    <message>
        <source>серийный номер в образе другой</source>
        <translation>the image holds another serial number</translation>
    </message>
    <message>
        <source>состояние не JSON</source>
        <translation>the status is not JSON</translation>
    </message>
</context>
<context>
    <name>gencfg::AngularGauge</name>
    <message>
        <source>Стрелочный индикатор</source>
        <translation>Dial gauge</translation>
    </message>
</context>
<context>
    <name>gencfg::ChangeListDialog</name>
    <message>
        <source>Изменения</source>
        <translation>Changes</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Записать</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>gencfg::ConnectionLabel</name>
    <message>
        <source>Подключение</source>
        <translation>Connection</translation>
    </message>
</context>
<context>
    <name>gencfg::DurationRow</name>
    <message>
        <source>час</source>
        <translation>h</translation>
    </message>
    <message>
        <source>мин</source>
        <translation>min</translation>
    </message>
</context>
<context>
    <name>gencfg::FleetDialog</name>
    <message>
        <source>Парк</source>
        <translation>Fleet</translation>
    </message>
    <message>
        <source>Серийный номер</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Вариант</source>
        <translation>Variant</translation>
    </message>
    <message>
        <source>Последний визит</source>
        <translation>Last visit</translation>
    </message>
    <message>
        <source>Техник</source>
        <translation>Technician</translation>
    </message>
    <message>
        <source>Компьютер</source>
        <translation>PC</translation>
    </message>
    <message>
        <source>Что сделано</source>
        <translation>What was done</translation>
    </message>
    <message>
        <source>Моточасы</source>
        <translation>Engine hours</translation>
    </message>
    <message>
        <source>До ТО</source>
        <translation>To maintenance</translation>
    </message>
    <message>
        <source>ТО не позже</source>
        <translation>Maintenance by</translation>
    </message>
    <message>
        <source>Аварии с визита до</source>
        <translation>Alarms since the visit before</translation>
    </message>
    <message>
        <source>Изменённые параметры</source>
        <translation>Changed parameters</translation>
    </message>
    <message>
        <source>Обновить</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Архив читается…</source>
        <translation>Reading the archive…</translation>
    </message>
    <message>
        <source>не задан</source>
        <translation>not set</translation>
    </message>
    <message>
        <source>ТО просрочено</source>
        <translation>Maintenance overdue</translation>
    </message>
    <message>
        <source>ТО в ближайшие %1 дн.</source>
        <translation>Maintenance within %1 days</translation>
    </message>
    <message>
        <source>Контроллеров: %1</source>
        <translation>Controllers: %1</translation>
    </message>
</context>
<context>
    <name>gencfg::HistoryDialog</name>
    <message>
        <source>Запись</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>Журналы</source>
        <translation>Journals</translation>
    </message>
    <message>
        <source>Чтение</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>История</source>
        <translation>History</translation>
    </message>
    <message>
        <source>Серийный номер:</source>
        <translation>Serial number:</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Что сделано</source>
        <translation>What was done</translation>
    </message>
    <message>
        <source>Вариант</source>
        <translation>Variant</translation>
    </message>
    <message>
        <source>Версия программы</source>
        <translation>Program version</translation>
    </message>
    <message>
        <source>Сравнить</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>Выберите два визита с параметрами</source>
        <translation>Choose two visits with parameters</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Сравнение визитов</source>
        <translation>Visits compared</translation>
    </message>
    <message>
        <source>Параметр</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>не задан</source>
        <translation>not set</translation>
    </message>
    <message>
        <source>Время визита впереди часов компьютера: он не считается последним</source>
        <translation>The visit is dated ahead of this computer&apos;s clock: it is never taken as the last</translation>
    </message>
    <message>
        <source>Техник</source>
        <translation>Technician</translation>
    </message>
    <message>
        <source>Компьютер</source>
        <translation>PC</translation>
    </message>
    <message>
        <source>Сервис</source>
        <translation>Service</translation>
    </message>
</context>
<context>
    <name>gencfg::JournalPage</name>
    <message>
        <source>-пусто-</source>
        <translation>-empty-</translation>
    </message>
    <message>
        <source>Сохранить журналы</source>
        <translation>Save journals</translation>
    </message>
    <message>
        <source>Журналы ещё не прочитаны</source>
        <translation>The journals have not been read yet</translation>
    </message>
    <message>
        <source>Не удалось сохранить %1: %2</source>
        <translation>Cannot save %1: %2</translation>
    </message>
    <message>
        <source>&amp;Прочитать ЖУРНАЛ СОБЫТИЙ</source>
        <translation>&amp;Read EVENT JOURNAL</translation>
    </message>
</context>
<context>
    <name>gencfg::Led</name>
    <message>
        <source>вкл.</source>
        <translation>on</translation>
    </message>
    <message>
        <source>выкл.</source>
        <translation>off</translation>
    </message>
</context>
<context>
    <name>gencfg::LinearGauge</name>
    <message>
        <source>Линейный индикатор</source>
        <translation>Bar gauge</translation>
    </message>
</context>
<context>
    <name>gencfg::MainWindow</name>
    <message>
        <source>ПО Конфигуратор v2a</source>
        <translation>Configurator software v2a</translation>
    </message>
    <message>
        <source>Измерения</source>
        <translation>Measurements</translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Дополнительно</source>
        <translation>Advanced</translation>
    </message>
    <message>
        <source>Терминал+лог</source>
        <translation>Terminal+log</translation>
    </message>
    <message>
        <source>Графики</source>
        <translation>Charts</translation>
    </message>
    <message>
        <source>Пакетов принято:</source>
        <translation>Packets received:</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Пакетов принято: %1</source>
        <translation>Packets received: %1</translation>
    </message>
    <message>
        <source>Ошибок: %1</source>
        <translation>Errors: %1</translation>
    </message>
    <message>
        <source>С прошлого визита</source>
        <translation>Since the last visit</translation>
    </message>
    <message>
        <source>Параметр</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>Сейчас</source>
        <translation>Now</translation>
    </message>
    <message>
        <source>Показана запись сеанса: %1 — не устройство</source>
        <translation>Showing session recording: %1 — not a device</translation>
    </message>
    <message>
        <source>Открыть запись сеанса</source>
        <translation>Open session recording</translation>
    </message>
    <message>
        <source>Записи сеанса (*.gcrec);;Все файлы (*)</source>
        <translation>Session recordings (*.gcrec);;All files (*)</translation>
    </message>
</context>
<context>
    <name>gencfg::MeasurementPage</name>
    <message>
        <source>, показание</source>
        <translation>, reading</translation>
    </message>
    <message>
        <source>Датчик температуры %1</source>
        <translation>Temperature sensor %1</translation>
    </message>
    <message>
        <source>Авто</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Полуавто</source>
        <translation>Semi-auto</translation>
    </message>
    <message>
        <source>Ручной</source>
        <translation>Manual</translation>
    </message>
</context>
<context>
    <name>gencfg::NetworkPort</name>
    <message>
        <source>сервер закрыл соединение</source>
        <translation>the server closed the connection</translation>
    </message>
    <message>
        <source>сервер не подтвердил настройки порта RFC 2217 (9600 8N1)</source>
        <translation>the server did not confirm the RFC 2217 port settings (9600 8N1)</translation>
    </message>
    <message>
        <source>нет ответа от %1:%2 за %3 с</source>
        <translation>no answer from %1:%2 in %3 s</translation>
    </message>
    <message>
        <source>нет данных от контроллера %1 с</source>
        <translation>no data from the controller for %1 s</translation>
    </message>
    <message>
        <source>Неверный сетевой порт %1: нужно tcp://ХОСТ:ПОРТ или rfc2217://ХОСТ:ПОРТ</source>
        <translation>Invalid network port %1: use tcp://HOST:PORT or rfc2217://HOST:PORT</translation>
    </message>
    <message>
        <source>ошибка протокола Telnet: %1</source>
        <translation>Telnet protocol error: %1</translation>
    </message>
    <message>
        <source>сервер не поддерживает управление портом RFC 2217</source>
        <translation>the server does not support RFC 2217 port control</translation>
    </message>
    <message>
        <source>сервер RFC 2217 не установил 9600 8N1 без управления потоком</source>
        <translation>the RFC 2217 server did not set 9600 8N1 without flow control</translation>
    </message>
</context>
<context>
    <name>gencfg::NetworkPortDialog</name>
    <message>
        <source>Сетевой порт</source>
        <translation>Network port</translation>
    </message>
    <message>
        <source>RFC 2217 (Telnet)</source>
        <translation>RFC 2217 (Telnet)</translation>
    </message>
    <message>
        <source>TCP без протокола</source>
        <translation>Raw TCP</translation>
    </message>
    <message>
        <source>Хост:</source>
        <translation>Host:</translation>
    </message>
    <message>
        <source>Порт:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Протокол:</source>
        <translation>Protocol:</translation>
    </message>
</context>
<context>
    <name>gencfg::NumericDisplay</name>
    <message>
        <source>Цифровой индикатор</source>
        <translation>Numeric display</translation>
    </message>
</context>
<context>
    <name>gencfg::ParamValueDialog</name>
    <message>
        <source>Установка параметра</source>
        <translation>Set parameter</translation>
    </message>
    <message>
        <source>Установить</source>
        <translation>Set</translation>
    </message>
</context>
<context>
    <name>gencfg::ParamsPage</name>
    <message>
        <source>Изменения</source>
        <translation>Changes</translation>
    </message>
    <message>
        <source>История</source>
        <translation>History</translation>
    </message>
    <message>
        <source>Отчёт</source>
        <translation>Report</translation>
    </message>
    <message>
        <source>Парк</source>
        <translation>Fleet</translation>
    </message>
    <message>
        <source>&amp;Сохранить</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>&amp;Открыть</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>&amp;Записать</source>
        <translation>&amp;Write</translation>
    </message>
    <message>
        <source>&amp;Прочитать</source>
        <translation>&amp;Read</translation>
    </message>
</context>
<context>
    <name>gencfg::PlaybackBar</name>
    <message>
        <source>Открыть запись сеанса</source>
        <translation>Open session recording</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Скорость</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>как можно быстрее</source>
        <translation>as fast as possible</translation>
    </message>
    <message>
        <source>Позиция</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Закрыть запись</source>
        <translation>Close recording</translation>
    </message>
</context>
<context>
    <name>gencfg::PortComboBox</name>
    <message>
        <source> — занят</source>
        <translation> — busy</translation>
    </message>
    <message>
        <source>Сетевой порт…</source>
        <translation>Network port…</translation>
    </message>
</context>
<context>
    <name>gencfg::ReportDialog</name>
    <message>
        <source>Отчёт</source>
        <translation>Report</translation>
    </message>
    <message>
        <source>Заметки для отчёта</source>
        <translation>Notes for the report</translation>
    </message>
    <message>
        <source>Сохранить PDF</source>
        <translation>Save PDF</translation>
    </message>
    <message>
        <source>Печать</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Заметки для отчёта (не более %L1 знаков):</source>
        <translation>Notes for the report (at most %L1 characters):</translation>
    </message>
    <message>
        <source>Прочитайте параметры контроллера: журналы прочитаны после того, как порт открылся снова, и чей это контроллер, ещё не известно</source>
        <translation>Read the controller&apos;s parameters: the journals were read after the port came back, and whose controller it is is not known yet</translation>
    </message>
</context>
<context>
    <name>gencfg::ServicePage</name>
    <message>
        <source>Режим Авто</source>
        <translation>Auto mode</translation>
    </message>
    <message>
        <source>Режим Полу-авто</source>
        <translation>Semi-auto mode</translation>
    </message>
    <message>
        <source>Счетчик моточасов:</source>
        <translation>Engine hours:</translation>
    </message>
    <message>
        <source>Установить</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>Серийный номер устройства:</source>
        <translation>Device serial number:</translation>
    </message>
    <message>
        <source>Время работы ГУ:</source>
        <translation>Generator run time:</translation>
    </message>
    <message>
        <source>Старт</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Время ожидания ГУ:</source>
        <translation>Generator wait time:</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Тест SMS</source>
        <translation>SMS test</translation>
    </message>
    <message>
        <source>Тест GPRS</source>
        <translation>GPRS test</translation>
    </message>
    <message>
        <source>Перезагрузка модема</source>
        <translation>Restart modem</translation>
    </message>
    <message>
        <source>Синхронизация системного времени</source>
        <translation>Synchronise system time</translation>
    </message>
    <message>
        <source>Имя LOG-файла</source>
        <translation>LOG file name</translation>
    </message>
    <message>
        <source>Вести LOG-файл</source>
        <translation>Keep LOG file</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>&amp;Подтвердить пароль</source>
        <translation>&amp;Confirm password</translation>
    </message>
    <message>
        <source>Неверный пароль</source>
        <translation>Wrong password</translation>
    </message>
</context>
<context>
    <name>gencfg::TeamArchive</name>
    <message>
        <source>архив команды недоступен: %1</source>
        <translation>the team archive is out of reach: %1</translation>
    </message>
    <message>
        <source>на сервере нет архива команды (tools/team-archive.sql): %1</source>
        <translation>the server holds no team archive (tools/team-archive.sql): %1</translation>
    </message>
    <message>
        <source>архив команды на сервере версии %1, а эта программа знает версию %2: обновите программу</source>
        <translation>the team archive on the server is version %1, this program knows version %2: update the program</translation>
    </message>
    <message>
        <source>архив команды не прочитан: %1</source>
        <translation>the team archive was not read: %1</translation>
    </message>
    <message>
        <source>визиты не отправлены: %1</source>
        <translation>visits not sent: %1</translation>
    </message>
    <message>
        <source>визит не получен: %1</source>
        <translation>a visit not fetched: %1</translation>
    </message>
</context>
<context>
    <name>gencfg::TeamServer</name>
    <message>
        <source>%1: адрес архива команды пишется postgresql://СЕРВЕР[:ПОРТ]/БАЗА</source>
        <translation>%1: the team archive&apos;s address is written postgresql://SERVER[:PORT]/DATABASE</translation>
    </message>
    <message>
        <source>пароль в адресе архива команды не хранится: он берётся из ~/.pgpass</source>
        <translation>no password is kept in the team archive&apos;s address: it comes from ~/.pgpass</translation>
    </message>
    <message>
        <source>%1: недопустимый параметр %2</source>
        <translation>%1: parameter %2 is not allowed</translation>
    </message>
    <message>
        <source>%1: в адресе архива команды нет имени базы</source>
        <translation>%1: the team archive&apos;s address names no database</translation>
    </message>
</context>
<context>
    <name>gencfg::TeamSyncer</name>
    <message>
        <source>Архив команды: %1 визитов ждут отправки</source>
        <translation>Team archive: %1 visits waiting to be sent</translation>
    </message>
    <message>
        <source>Архив команды: не приняты визиты (%1): %2</source>
        <translation>Team archive: visits not taken (%1): %2</translation>
    </message>
</context>
<context>
    <name>gencfg::TechnicianDialog</name>
    <message>
        <source>Техник</source>
        <translation>Technician</translation>
    </message>
    <message>
        <source>Ваше имя, которое архив команды сохранит с каждым визитом:</source>
        <translation>Your name, which the team archive keeps with every visit:</translation>
    </message>
</context>
<context>
    <name>gencfg::TerminalPage</name>
    <message>
        <source>Отображать данные</source>
        <translation>Show data</translation>
    </message>
    <message>
        <source>Очистить </source>
        <translation>Clear </translation>
    </message>
    <message>
        <source>Имя файла</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>Вести лог</source>
        <translation>Keep log</translation>
    </message>
    <message>
        <source>Имя LOG-файла</source>
        <translation>LOG file name</translation>
    </message>
    <message>
        <source>Текстовые файлы (*.txt *.log);;Все файлы (*)</source>
        <translation>Text files (*.txt *.log);;All files (*)</translation>
    </message>
    <message>
        <source>Задайте имя LOG-файла</source>
        <translation>Set a LOG file name</translation>
    </message>
    <message>
        <source>Файл записи</source>
        <translation>Recording file</translation>
    </message>
    <message>
        <source>Запись сеанса</source>
        <translation>Session recording</translation>
    </message>
    <message>
        <source>Записи сеанса (*.gcrec);;Все файлы (*)</source>
        <translation>Session recordings (*.gcrec);;All files (*)</translation>
    </message>
</context>
<context>
    <name>gencfg::TextDisplay</name>
    <message>
        <source>Текстовый индикатор</source>
        <translation>Text display</translation>
    </message>
</context>
<context>
    <name>gencfg::TrafficLog</name>
    <message>
        <source>Не удалось открыть LOG-файл %1: %2</source>
        <translation>Cannot open LOG file %1: %2</translation>
    </message>
    <message>
        <source>Не удалось записать в LOG-файл %1: %2</source>
        <translation>Cannot write to LOG file %1: %2</translation>
    </message>
</context>
<context>
    <name>gencfg::TrendsPage</name>
    <message>
        <source>Этап %1</source>
        <translation>Stage %1</translation>
    </message>
    <message>
        <source>Интервал</source>
        <translation>Span</translation>
    </message>
    <message>
        <source>1 мин</source>
        <translation>1 min</translation>
    </message>
    <message>
        <source>10 мин</source>
        <translation>10 min</translation>
    </message>
    <message>
        <source>1 ч</source>
        <translation>1 h</translation>
    </message>
    <message>
        <source>всё</source>
        <translation>all</translation>
    </message>
    <message>
        <source>Сейчас</source>
        <translation>Now</translation>
    </message>
    <message>
        <source>Сохранить CSV</source>
        <translation>Save CSV</translation>
    </message>
    <message>
        <source>Сохранить картинку</source>
        <translation>Save picture</translation>
    </message>
    <message>
        <source>Запись в файл</source>
        <translation>Record to file</translation>
    </message>
    <message>
        <source>Файл записи</source>
        <translation>Recording file</translation>
    </message>
    <message>
        <source>файл записи, CSV</source>
        <translation>recording file, CSV</translation>
    </message>
    <message>
        <source>Напряжения, </source>
        <translation>Voltages, </translation>
    </message>
    <message>
        <source>Батареи, </source>
        <translation>Batteries, </translation>
    </message>
    <message>
        <source>Температуры, °C</source>
        <translation>Temperatures, °C</translation>
    </message>
    <message>
        <source>АКБ</source>
        <translation>Battery</translation>
    </message>
    <message>
        <source>ИБП</source>
        <translation>UPS</translation>
    </message>
    <message>
        <source>Датчик 1</source>
        <translation>Sensor 1</translation>
    </message>
    <message>
        <source>Датчик 2</source>
        <translation>Sensor 2</translation>
    </message>
    <message>
        <source>Датчик 3</source>
        <translation>Sensor 3</translation>
    </message>
    <message>
        <source>Датчик 4</source>
        <translation>Sensor 4</translation>
    </message>
    <message>
        <source>Режим и этап</source>
        <translation>Mode and stage</translation>
    </message>
    <message>
        <source>пороги</source>
        <translation>thresholds</translation>
    </message>
    <message>
        <source>%1 %2, %3 %4, %5 %6, %7 %8 В</source>
        <translation>%1 %2, %3 %4, %5 %6, %7 %8 V</translation>
    </message>
    <message>
        <source>АКБ %1 В, ИБП %2 В</source>
        <translation>Battery %1 V, UPS %2 V</translation>
    </message>
    <message>
        <source>Не удалось сохранить %1: %2</source>
        <translation>Cannot save %1: %2</translation>
    </message>
    <message>
        <source>Вся запись</source>
        <translation>Whole recording</translation>
    </message>
</context>
<context>
    <name>gencfg::UnwrittenChanges</name>
    <message>
        <source>Записать изменения в устройство?</source>
        <translation>Write the changes to the device?</translation>
    </message>
    <message>
        <source>Несохранённые изменения</source>
        <translation>Unwritten changes</translation>
    </message>
    <message>
        <source>Записать</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>Не записывать</source>
        <translation>Don&apos;t write</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>gencfg::VisitKeeper</name>
    <message>
        <source>С прошлого визита (%1) параметры не менялись</source>
        <translation>No parameter has changed since the last visit (%1)</translation>
    </message>
    <message>
        <source>Серийный номер контроллера не задан: визит сохранён в архив в папку «%1»</source>
        <translation>The controller&apos;s serial number is not set: the visit is archived in the folder &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Визит не сохранён в архив: %1</source>
        <translation>The visit was not archived: %1</translation>
    </message>
    <message>
        <source>В прошлый раз (%1)</source>
        <translation>Last time (%1)</translation>
    </message>
    <message>
        <source>В прошлый раз: %1 %2</source>
        <translation>Last time: %1 %2</translation>
    </message>
</context>
<context>
    <name>gencfg::WrapLabel</name>
    <message>
        <source>Надпись</source>
        <translation>Label</translation>
    </message>
</context>
</TS>
