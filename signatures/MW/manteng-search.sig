# 蔓藤搜索助手: a search toolbar that arrives bundled with free downloads, hooks every browser
# and reinstalls itself from a system DLL and a network filter driver.
KEY: MW-MANTENG
LI: 蔓藤搜索助手|Browsers Toolbar|2.3.0.118|5.1|6.1|32位

IDN: 蔓藤搜索助手
IDN: 蔓藤搜索工具条

FL: MantengSearch
FL: 蔓藤搜索助手

PR: mtsearch.exe
PR: mtupdate.exe

CF: C:\Program Files\MantengSearch\mtcore.dll
CF: C:\WINDOWS\system32\mthook32.dll

IS: mtnetflt.sys

RAXC: mtbar.dll
RAXC: mtbho.dll

RN: HKLM|SOFTWARE\MantengSearch
RN: HKLM|SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\MantengSearch
RN: HKCU|Software\MantengSearch\Toolbar|LastUpdate
RN: HKCU|Software\Microsoft\Windows\CurrentVersion\Run|"蔓藤搜索助手"
RN: HKU|S-1-5-21-1085031214-1563985344-725345543-1003\Software\MantengSearch
RN: HKCR|MantengSearch.Toolbar
