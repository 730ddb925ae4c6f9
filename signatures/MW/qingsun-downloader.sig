# 青隼下载宝: a download manager that takes over browser downloads and installs a resident
# service with a file-system filter.
KEY: MW-QINGSUN
LI: 青隼下载宝|Download Managers|3.1.7|5.1|-|32位

IDN: 青隼下载宝
IDN: 青隼下载宝 3.1

FL: QingsunDL
FL: 青隼下载

PR: qsdl.exe
PR: qsdlsvc.exe

CF: C:\Program Files\QingsunDL\qsdl.exe
CF: C:\Program Files\Common Files\QingsunDL\qsnet.dll

IS: qsdlflt.sys

RAXC: qsiehelper.dll

RN: HKLM|SOFTWARE\QingsunDL
RN: HKLM|SYSTEM\CurrentControlSet\Services\qsdlsvc
RN: HKCU|Software\QingsunDL|"下载目录"
RN: HKCR|qsdl
