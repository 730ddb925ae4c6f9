# 霁光刻录: disc burning software with a CD filter driver.
KEY: NM-JIGUANG
LI: 霁光刻录|CD/DVD Burners|6.0.1|5.1|-|32位

IDN: 霁光刻录

FL: JiguangBurner
FL: 霁光刻录

PR: jgburn.exe

CF: C:\Program Files\JiguangBurner\jgburn.exe

IS: jgcdfilt.sys

RAXC: jgdiscax.dll

RN: HKLM|SOFTWARE\JiguangBurner
RN: HKLM|SYSTEM\CurrentControlSet\Services\jgcdfilt
RN: HKU|S-1-5-21-3650815279-2283147606-3126005498-1001\Software\JiguangBurner|LastDrive
