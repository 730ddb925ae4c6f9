# 飘云桌面天气: a desktop weather widget that pushes advertising windows and protects its
# service with a driver.
KEY: MW-PIAOYUN
LI: 飘云桌面天气|Desktop Customization|1.6.2|5.1|6.1|32位

IDN: 飘云桌面天气

FL: PiaoyunWeather

PR: pyweather.exe
PR: pypush.exe

CF: C:\Program Files\PiaoyunWeather\pyweather.exe
CF: C:\Program Files\PiaoyunWeather\pyad.dll

IS: pyguard.sys

RAXC: pyshellext.dll

RN: HKLM|SOFTWARE\Piaoyun\Weather
RN: HKLM|SYSTEM\CurrentControlSet\Services\pyguard
RN: HKCU|Software\Microsoft\Windows\CurrentVersion\Run|PiaoyunWeather
RN: HKU|S-1-5-21-2961537108-3307741860-1849320471-1000\Software\Piaoyun|"推送频率"
