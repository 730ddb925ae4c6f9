# Brightfern 记事本: a note pad installed per user by NSIS (tests/fixtures/installers), traced with qxcli trace.
KEY: NM-BRIGHTFERN
LI: Brightfern 记事本|Desktop Customization|1.4.2|5.1|6.1|32位

IDN: Brightfern 记事本

FL: Brightfern

PR: brightfern.exe
# 通用名称, 未写入: PR: uninstall.exe (a well-known generic name)

CF: %LOCALAPPDATA%\Programs\Brightfern\brightfern.exe
CF: %LOCALAPPDATA%\Programs\Brightfern\uninstall.exe

RN: HKCU|Software\Brightfern Labs
RN: HKCU|Software\Microsoft\Windows\CurrentVersion\Uninstall\Brightfern

# 快捷方式: the analysis finds the shortcuts by their target in a found folder; no record needed.
