# 渔舟邮件: an e-mail client with a MAPI module and a new-mail notifier.
KEY: NM-YUZHOU
LI: 渔舟邮件|E-mail Software|3.3.0|6.1|-|32位

IDN: 渔舟邮件

FL: YuzhouMail
FL: 渔舟邮件

PR: yzmail.exe
PR: yzmailnotify.exe

CF: C:\Program Files\YuzhouMail\yzmail.exe

RAXC: yzmapi.dll

RN: HKLM|SOFTWARE\Clients\Mail\YuzhouMail
RN: HKCR|YuzhouMail.Url.mailto
RN: HKCU|Software\YuzhouMail\Accounts
RN: HKCU|Software\Microsoft\Windows\CurrentVersion\Run|"渔舟邮件提醒"
