# 星澜影音: a video player that keeps its codecs, a virtual disc driver and its browser
# plug-in registered after removal.
KEY: SW-XINGLAN
LI: 星澜影音|Video Players|4.5.1.2210|6.1|-|32位

IDN: 星澜影音

FL: XinglanPlayer
FL: 星澜影音

PR: xnlplayer.exe
PR: xnlmedia.exe

CF: C:\Program Files\XinglanPlayer\xnlcodec.dll

IS: xnlvdisk.sys

RAXC: xnlplayerax.dll
RAXC: xnlthumb.dll

RN: HKLM|SOFTWARE\XinglanPlayer
RN: HKCR|XinglanPlayer.Media
RN: HKCU|Software\XinglanPlayer\Recent
RN: HKU|S-1-5-21-3650815279-2283147606-3126005498-1001\Software\XinglanPlayer|"播放列表"
