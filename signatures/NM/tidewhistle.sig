# Tidewhistle 计算器: a calculator in a Windows Installer package for the whole machine
# (tests/fixtures/installers), traced with qxcli trace.
KEY: NM-TIDEWHISTLE
LI: Tidewhistle 计算器|Maintenance & Optimization|3.1.0|5.1|6.1|64位

IDN: Tidewhistle Calculator

FL: Tidewhistle

PR: tidewhistle.exe

CF: %PROGRAMFILES%\Tidewhistle\tidewhistle.exe

RN: HKLM|SOFTWARE\Classes\Installer\Features\FBECE096773F14042979D4F4DDB75827
RN: HKLM|SOFTWARE\Classes\Installer\Products\FBECE096773F14042979D4F4DDB75827
RN: HKLM|SOFTWARE\Classes\Installer\UpgradeCodes\8E0086236404A4E43B52B8A4DB8852CB
RN: HKLM|SOFTWARE\Microsoft\Windows\CurrentVersion\Installer\UpgradeCodes\8E0086236404A4E43B52B8A4DB8852CB
RN: HKLM|SOFTWARE\Microsoft\Windows\CurrentVersion\Installer\UserData\S-1-5-18\Components\500C567F39922F94AB78837F409A5B94
RN: HKLM|SOFTWARE\Microsoft\Windows\CurrentVersion\Installer\UserData\S-1-5-18\Components\6412DE232BBACF34FA4217A28F23138E
RN: HKLM|SOFTWARE\Microsoft\Windows\CurrentVersion\Installer\UserData\S-1-5-18\Components\B0CAB561B4224C942AE2C26C1B8AB3B7
RN: HKLM|SOFTWARE\Microsoft\Windows\CurrentVersion\Installer\UserData\S-1-5-18\Products\FBECE096773F14042979D4F4DDB75827
RN: HKLM|SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\{690ECEBF-F377-4041-9297-4D4FDD7B8572}
RN: HKLM|SOFTWARE\Tidewhistle Works

# 快捷方式: the analysis finds the shortcuts by their target in a found folder; no record needed.

# Windows Installer 缓存: the cached package (C:\windows\Installer\<random>.msi) has a name of
# its own on every machine, so no record names it; a clean-up leaves it.
