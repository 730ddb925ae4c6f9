# 云笺输入法: an input method whose uninstaller leaves the keyboard layout, its text service
# and a keyboard filter driver behind.
KEY: SW-YUNJIAN
LI: 云笺输入法|Input Method|5.2.0.907|5.1|6.1|32位

IDN: 云笺输入法
IDN: 云笺输入法 5.2

FL: YunjianIME
FL: 云笺输入法

PR: yjime.exe
PR: yjcloud.exe

CF: C:\WINDOWS\system32\yunjian.ime
CF: C:\Program Files\YunjianIME\yjcore.dll

IS: yjkbd.sys

RAXC: yjtsf.dll

RN: HKLM|SOFTWARE\YunjianIME
RN: HKLM|SYSTEM\CurrentControlSet\Control\Keyboard Layouts\E0220804
RN: HKCU|Software\YunjianIME\Dict|UserDictPath
RN: HKCU|Software\Microsoft\Windows\CurrentVersion\Run|"云笺输入法云同步"
RN: HKU|S-1-5-21-1085031214-1563985344-725345543-1003\Software\YunjianIME
