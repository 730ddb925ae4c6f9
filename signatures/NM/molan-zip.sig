# 墨岚压缩: an archiver with an Explorer context menu.
KEY: NM-MOLAN
LI: 墨岚压缩|File Compression|2.8.5|5.1|6.1|32位/64位

IDN: 墨岚压缩
IDN: 墨岚压缩 (32 位)

FL: MolanZip

PR: molanzip.exe

CF: C:\Program Files\MolanZip\mlzcore.dll

RAXC: mlzshell.dll

RN: HKLM|SOFTWARE\MolanZip
RN: HKCR|*\shellex\ContextMenuHandlers\MolanZip
RN: HKCR|.mlz
RN: HKCU|Software\MolanZip|"最近的压缩包"
