#include "whole_analysis_programs.h"

#include <windows.h>

#include <cstdio>

#include "win32/ansi_text.h"

namespace bench_world {

namespace {

const char* const kSyllables[20] = {"lu", "mo", "ra", "qi", "an", "ta", "ven", "dor", "xi", "ka",
                                    "sol", "pe", "nu", "zen", "ri", "fa", "bo", "li", "ma", "tor"};

// A kind of program: its catalogue sub-type, a Latin and a Chinese product name, and the short
// code its file names are made of.
struct Kind {
    const char* sub_type;
    const char* product;
    const char* chinese_product;
    const char* code;
};

const Kind kKinds[18] = {
    {"Browsers Toolbar", "Toolbar", "浏览器工具条", "tb"},
    {"Desktop Customization", "Desktop", "桌面美化", "dk"},
    {"Download Managers", "Downloader", "下载助手", "dl"},
    {"Input Method", "Input", "输入法", "im"},
    {"Internet Operations", "Net Booster", "网络加速器", "nb"},
    {"Maintenance & Optimization", "Optimizer", "系统优化大师", "op"},
    {"Music Management", "Music Box", "音乐盒", "mb"},
    {"Photo Tools", "Photo Studio", "看图王", "ps"},
    {"Software Management", "App Manager", "软件管家", "am"},
    {"Video Chat", "Video Chat", "视频聊天", "vc"},
    {"Video Players", "Media Player", "影音播放器", "mp"},
    {"Web Browsers", "Browser", "浏览器", "br"},
    {"File Compression", "Zip", "压缩大师", "zp"},
    {"Video Converters", "Converter", "视频转换器", "cv"},
    {"CD/DVD Burners", "Burner", "刻录大师", "bu"},
    {"Language Software", "Translator", "翻译官", "tr"},
    {"E-mail Software", "Mail", "邮件客户端", "ml"},
    {"Mobile Phone Software", "Phone Suite", "手机助手", "ph"},
};

std::string LowerCased(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string Capitalized(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

// A well-mixed number from the program's number and a salt, so that the program's traits vary
// without following its number's pattern.
unsigned Mixed(int number, unsigned salt) {
    unsigned value = static_cast<unsigned>(number) * 2654435761u ^ salt * 40503u;
    value ^= value >> 15;
    value *= 2246822519u;
    value ^= value >> 13;
    return value;
}

}  // namespace

std::string Utf8FromAnsi(const std::string& ansi) {
    const std::wstring wide = WideFromAnsi(ansi);
    if (wide.empty()) return "";
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], length, nullptr, nullptr);
    return utf8;
}

Program ProgramAt(int number) {
    Program program;
    program.number = number;
    char key[16];
    std::snprintf(key, sizeof key, "SW-B%05d", number);
    program.key = key;
    const int vendor_index = number % 2000;
    const Kind& kind = kKinds[(vendor_index + number / 2000 * 7) % 18];
    program.sub_type = kind.sub_type;
    std::string prefix;
    if (number == kChosenProgram) {
        program.vendor = "Quintessa";
        program.product = "Media Suite";
        program.sub_type = "Video Players";
        prefix = "qms";
    } else {
        program.vendor = Capitalized(std::string(kSyllables[vendor_index % 20]) + kSyllables[vendor_index / 20 % 20] +
                                     kSyllables[vendor_index / 400 % 20]);
        program.product = number % 7 == 3 ? kind.chinese_product : kind.product;
        prefix = LowerCased(program.vendor) + kind.code;
    }
    program.name = program.vendor + " " + program.product;
    program.exe = prefix + ".exe";
    program.helper_exe = prefix + "update.exe";
    const unsigned traits = Mixed(number, 1);
    static const char* const kModuleSuffixes[3] = {"shell.dll", "codec.dll", "ext.dll"};
    const int module_count = number == kChosenProgram ? 2 : static_cast<int>(traits % 10 < 4 ? traits / 10 % 3 + 1 : 0);
    for (int i = 0; i < module_count; ++i) program.modules.push_back(prefix + kModuleSuffixes[i]);
    if (number == kChosenProgram || traits / 100 % 10 == 0) program.driver = prefix + "flt.sys";
    program.registered = number % 5 == 0;
    program.user_registration = program.registered && number != kChosenProgram && number / 5 % 20 < 3;
    if (program.registered)
        program.placement = number == kChosenProgram || Mixed(number, 2) % 4 != 0 ? Placement::kProgramFiles
                                                                                  : Placement::kProgramFilesX86;
    return program;
}

std::string Program::InstallFolder() const {
    switch (placement) {
        case Placement::kProgramFiles:
            return "C:\\Program Files\\" + vendor + "\\" + product;
        case Placement::kProgramFilesX86:
            return "C:\\Program Files (x86)\\" + vendor + "\\" + product;
        default:
            return "";
    }
}

std::string Program::SignatureSource() const {
    const unsigned traits = Mixed(number, 3);
    const std::string folder = "C:\\Program Files\\" + vendor + "\\" + product;
    std::string text = "# " + name + ": generated by the whole-analysis benchmark\n";
    text += "KEY: " + key + "\n";
    const char* systems = traits % 5 == 0 ? "6.1|-" : traits % 5 == 1 ? "5.1|-" : "5.1|6.1";
    text += "LI: " + name + "|" + sub_type + "|" + std::to_string(1 + traits % 9) + "." + std::to_string(traits / 9 % 20) +
            "." + std::to_string(traits / 180 % 1000) + "|" + systems + "|" + (traits / 7 % 3 == 0 ? "64位" : "32位") + "\n";
    text += "IDN: " + name + "\n";
    if (traits / 11 % 4 == 0) text += "IDN: " + name + " " + std::to_string(1 + traits / 3 % 9) + ".0\n";
    text += "FL: " + vendor + "\n";
    if (traits / 13 % 3 == 0) text += "FL: " + vendor + " Shared\n";
    text += "PR: " + exe + "\n";
    text += "PR: " + helper_exe + "\n";
    text += "CF: " + folder + "\\" + exe + "\n";
    for (const std::string& module : modules) text += "CF: " + folder + "\\" + module + "\n";
    text += "CF: %APPDATA%\\" + vendor + "\\" + product + "\\settings.ini\n";
    if (traits / 17 % 2 == 0) text += "CF: %PROGRAMDATA%\\" + vendor + "\\" + product + "\\cache.dat\n";
    if (!driver.empty()) text += "IS: " + driver + "\n";
    for (const std::string& module : modules) text += "RAXC: " + module + "\n";
    text += "RN: HKLM|SOFTWARE\\" + vendor + "\\" + product + "\n";
    text += "RN: HKLM|SOFTWARE\\" + vendor + "\\" + product + "|InstallDir\n";
    text += "RN: HKCU|Software\\" + vendor + "\\" + product + "\n";
    text += "RN: HKCU|Software\\Microsoft\\Windows\\CurrentVersion\\Run|\"" + name + "\"\n";
    text += "RN: HKLM|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + exe + "\n";
    if (traits / 19 % 2 == 0) text += "RN: HKLM|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name + "\n";
    if (traits / 23 % 3 == 0) text += "RN: HKCR|" + exe + ".file\n";
    return Utf8FromAnsi(text);
}

}  // namespace bench_world
