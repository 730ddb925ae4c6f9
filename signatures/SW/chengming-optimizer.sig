# 澄明系统优化大师: a system optimiser that refuses to uninstall while its protection driver
# and tray process run.
KEY: SW-CHENGMING
LI: 澄明系统优化大师|Maintenance & Optimization|8.0.3|5.1|6.1|32位

IDN: 澄明系统优化大师

FL: ChengmingOptimizer
FL: 澄明优化

PR: cmoptimizer.exe
PR: cmtray.exe
PR: cmsvc.exe

CF: C:\Program Files\ChengmingOptimizer\cmengine.dll
CF: C:\WINDOWS\system32\cmprotect.dll

IS: cmprotect.sys
IS: cmfsmon.sys

RAXC: cmcontext.dll

RN: HKLM|SOFTWARE\Chengming\Optimizer
RN: HKLM|SYSTEM\CurrentControlSet\Services\cmsvc
RN: HKLM|SYSTEM\CurrentControlSet\Services\cmprotect
RN: HKCU|Software\Microsoft\Windows\CurrentVersion\Run|ChengmingTray
RN: HKU|S-1-5-21-2961537108-3307741860-1849320471-1000\Software\Chengming|"上次扫描"
