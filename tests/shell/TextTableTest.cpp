// The UI text table: the English captions, the rows fixed in all three
// languages, the language code rules and the row parser's tolerance.
#include <gtest/gtest.h>

#include <set>

#include "base/RunError.h"
#include "base/TextTable.h"

namespace zr {
namespace {

struct EnglishRow {
  int entry;
  const char16_t* text;
};

// Every English text in use (entry 402 is empty in English and checked on its own).
const EnglishRow kEnglish[] = {
    {0, u"New"},
    {1, u"Open"},
    {2, u"Save"},
    {3, u"Read"},
    {4, u"Write"},
    {5, u"Port"},
    {6, u"Help"},
    {7, u"Exit"},
    {8, u"Print"},
    {16, u"ZR-417"},
    {20, u"&File"},
    {21, u"&New"},
    {22, u"&Open"},
    {23, u"&Save"},
    {24, u"S&ave As"},
    {25, u"&Exit"},
    {26, u"&Program"},
    {27, u"&Read"},
    {28, u"&Write"},
    {29, u"&Option"},
    {30, u"Optional &Feature"},
    {31, u"&Settings"},
    {32, u"&Communication Port"},
    {33, u"&Language Settings"},
    {34, u"&Simplified Chinese"},
    {35, u"&English"},
    {36, u"&Help"},
    {37, u"Help &Topic"},
    {38, u"&About"},
    {39, u"&Model"},
    {40, u"&Test Mode"},
    {41, u"&Test Frequency"},
    {42, u"&Batch Write Test Data"},
    {43, u"&Print"},
    {44, u"&Additional frq. range"},
    {45, u"&DTMF"},
    {46, u"&Key Assignment"},
    {47, u"&Lock Channel Interface"},
    {48, u"&Auto Read/Write Radio"},
    {49, u"&Radio Version"},
    {50, u"OK"},
    {51, u"Model:"},
    {52, u"Frequency:"},
    {53, u"Version:"},
    {54, u"Time:"},
    {57, u"Traditional Chinese"},
    {58, u"Lock Face(&D)"},
    {60, u"Communication Port"},
    {61, u"Set"},
    {62, u"Communication Port"},
    {63, u"OK"},
    {64, u"Cancel"},
    {66, u"Channel Information"},
    {68, u"Language has changed, you need to restart the software."},
    {69, u"This software Can't support this radio!Please use special radio software or contact with dealers!"},
    {70, u"Notice"},
    {71, u"Are you sure delete all channels data?"},
    {72, u"All data will be cleared,continue?"},
    {73, u"Are you sure want to exit?"},
    {74, u"All data will be cleared,continue?"},
    {75, u"Failed to open port,Please set communication port first!"},
    {76, u"Communicating,wait a minute"},
    {77, u"Communication success"},
    {78, u"Communication failed"},
    {79, u"Communication failed,please check commuication port!"},
    {80, u"Communication failed"},
    {81, u"Failed to open port!"},
    {82, u"TempData has changed,Do you want to save it now?"},
    {83, u"Wrong file type!"},
    {84, u"Save file failed!"},
    {85, u"File Name:"},
    {86, u"Save file failed!"},
    {87, u"Read file failed!"},
    {88, u"Frequency range is not right!"},
    {89, u"Frequency range is not right，continue?"},
    {90, u"Status"},
    {91, u"Time"},
    {92, u"Communication Port"},
    {93, u"File Path"},
    {94, u"Ready"},
    {95, u"Radio Programming Software"},
    {96, u"For"},
    {100, u"&Read"},
    {101, u"&Write"},
    {102, u"Communicate"},
    {105, u"Printing，Please wait..."},
    {106, u"Print occur error!"},
    {110, u"Delete channel"},
    {112, u"Delete all channels"},
    {113, u"Save as default"},
    {114, u"Open channel"},
    {116, u"Interface Locked"},
    {120, u"Model Type"},
    {121, u"Frequency"},
    {122, u"OK"},
    {123, u"Model Information"},
    {124, u"Frequency data will be cleared!"},
    {134, u"Please read data from radio first!"},
    {135, u"Please write test frequency to radio first!"},
    {140, u"Occur error!"},
    {141, u"Software is running now!"},
    {142, u"Select Print Content"},
    {143, u"Item"},
    {144, u"Cover"},
    {145, u"Radio Settings"},
    {146, u"Channel Information"},
    {147, u"Print"},
    {148, u"Cancel"},
    {149, u"Print Chananel Data"},
    {150, u"Auto Read/Write Setting"},
    {151, u"Interval Time"},
    {152, u"Write to Radio"},
    {153, u"Read from Radio"},
    {154, u"Show Progress"},
    {155, u"Auto Read/Write"},
    {156, u"Communication"},
    {157, u"Times"},
    {160, u"Radio Version"},
    {161, u"Radio Version"},
    {162, u"MCU Ver："},
    {163, u"Time："},
    {164, u"Reading Now......"},
    {165, u"Read Successful"},
    {166, u"Read Failed"},
    {167, u"&Read"},
    {168, u"Writing Now......"},
    {170, u"Communicating"},
    {171, u"Successful"},
    {172, u"Fail"},
    {175, u"Rx：Communication failed! No receive Data!"},
    {176, u"Rx：Communication failed! Receive Data Error!"},
    {179, u"Unknown Time"},
    {180, u"."},
    {181, u"."},
    {183, u"Radio Info"},
    {184, u"Model Type"},
    {185, u"Frequency[MHz]"},
    {186, u"Soft Version"},
    {187, u"Write Data Last Time"},
    {200, u"Radio Info"},
    {201, u"Common Set"},
    {202, u"Key Assign"},
    {203, u"Vox"},
    {204, u"Scan"},
    {205, u"DTMF"},
    {206, u"Embedded Msg"},
    {207, u"Model Information"},
    {208, u"Model   Type:"},
    {209, u"Crystal  Fre:"},
    {210, u"Company Name:"},
    {211, u"Soft Version:"},
    {212, u"Modify  Time:"},
    {213, u"Time-out Timer[s]"},
    {214, u"TOT Pre-alert[s]"},
    {215, u"Voice Annunciation"},
    {216, u"Power On Tone Sort"},
    {217, u"Squelch Level[SQL]"},
    {218, u"Radio Sql"},
    {219, u"Radio Volume"},
    {220, u"Save Mode"},
    {221, u"Tail Del Mode"},
    {222, u"Tx End Tone"},
    {223, u"Battery Save"},
    {224, u"Low Bat Can Tx"},
    {225, u"Beep"},
    {226, u"Emergency Alarm"},
    {227, u"SK1(Short)"},
    {228, u"SK1(Long)"},
    {229, u"SK2(Short)"},
    {230, u"SK2(Long)"},
    {231, u"VOX Gain Level"},
    {232, u"VOX Delay Time[s]"},
    {233, u"Transmit Inhibit while Receiving"},
    {234, u"An:Vox On/Off"},
    {235, u"Priority"},
    {236, u"Priority Channel"},
    {237, u"Revert Channel"},
    {238, u"Dropout Delay Time[s]"},
    {239, u"Tx Dwell Time[s]"},
    {240, u"Tone When Enter Scan"},
    {241, u"Tone When Exit Scan"},
    {242, u"An:Scan On/Off"},
    {243, u"Scan Light"},
    {244, u"DTMF Encode"},
    {245, u"First Digit Delay Time[ms]"},
    {246, u"Digit Last Time[ms]"},
    {247, u"Digit Interval Time[ms]"},
    {248, u"PTT ID Begin of Tx"},
    {249, u"PTT ID End of Tx"},
    {250, u"DTMF Decode"},
    {251, u"ID Code"},
    {252, u"ID Group Code"},
    {253, u"Call Alert"},
    {254, u"Stun"},
    {255, u"Stun Code"},
    {256, u"Stun Type"},
    {257, u"Autodial List"},
    {258, u"Message"},
    {259, u"Message2"},
    {260, u"Off"},
    {261, u"s"},
    {262, u"Off"},
    {263, u"Off"},
    {264, u"Chinese"},
    {265, u"English"},
    {266, u"Off"},
    {267, u"Tone-"},
    {268, u"Tone-2"},
    {269, u"Tone-3"},
    {270, u"Tone-4"},
    {271, u"Tone-5"},
    {272, u"Low Bat Alarm Interval"},
    {273, u"Low Bat Tone"},
    {274, u"Low Bat Annunciation"},
    {275, u"Orange Light On Low"},
    {276, u"1 - 2"},
    {277, u"1 - 3"},
    {278, u"1 - 4"},
    {279, u"1 - 5"},
    {280, u"1 - 6"},
    {281, u"1 - 7"},
    {282, u"1 - 8"},
    {283, u"1 - 9"},
    {284, u"1 - 10"},
    {285, u"1--120 Degree"},
    {286, u"2--180 Degree"},
    {287, u"3--240 Degree"},
    {288, u"4--Freqency"},
    {289, u"5--120 + Freq"},
    {290, u"6--180 + Freq"},
    {291, u"7--240 + Freq"},
    {292, u"8--Off"},
    {293, u"Off"},
    {294, u"s"},
    {295, u"Off"},
    {296, u"0.3s"},
    {297, u"0.5s"},
    {298, u"1.0s"},
    {299, u"1.5s"},
    {300, u"2.0s"},
    {301, u"3.0s"},
    {302, u"Off"},
    {303, u"On"},
    {304, u"None"},
    {305, u"Fixed"},
    {306, u"Selected"},
    {307, u"Off"},
    {308, u"Selected"},
    {309, u"Selected+Talk Back"},
    {310, u"Priority"},
    {311, u"Priority+Talk Back"},
    {312, u"s"},
    {313, u"Off"},
    {314, u"A"},
    {315, u"B"},
    {316, u"C"},
    {317, u"D"},
    {318, u"*"},
    {319, u"#"},
    {320, u"Off"},
    {321, u"Glint"},
    {322, u"s"},
    {323, u"Tx Inhibit"},
    {324, u"Tx/Rx Inhibit"},
    {325, u"2-Tone"},
    {326, u"Monitor End Tone"},
    {327, u"Radio Func Enable"},
    {328, u"Group"},
    {330, u"Alarm Sort"},
    {331, u"Local"},
    {332, u"Local And Distance"},
    {333, u"Two Way Radio Vol Level"},
    {334, u"Set Volume"},
    {335, u"Volume"},
    {336, u"Level"},
    {337, u"Default"},
    {338, u"Use This Set"},
    {339, u"OK"},
    {340, u"Side Tone"},
    {341, u"Light On In Power On"},
    {342, u"An Power On"},
    {343, u"S-Selector (16 CH Auto Enter Scan)"},
    {344, u"PTT ID Pause Time"},
    {345, u"Auto Reset Timer"},
    {346, u"Low Battery Tone Sort"},
    {347, u"Tone 1"},
    {348, u"Tone 2"},
    {349, u"An:Battery Voltage"},
    {350, u"Battery"},
    {351, u"Notice Bat Voltage When Power On"},
    {352, u"Radio ID"},
    {353, u"Off"},
    {354, u"Power On When Press PTT KEY: An Radio ID"},
    {355, u"Tx Freq Tail Tone When No CTCSS Or DCS Encode"},
    {356, u"ZR-417"},
    {361, u"Rx Freq Tail Tone When No CTCSS Or DCS Decode"},
    {366, u"Continuous"},
    {367, u"All"},
    {368, u"None"},
    {370, u"Model Information"},
    {371, u"Model Type"},
    {372, u"Frequency"},
    {373, u"Custom"},
    {374, u"Custom"},
    {375, u"Min [MHz]"},
    {376, u"Max [MHz]"},
    {377, u"OK"},
    {378, u"Cancel"},
    {381, u"Radio Info"},
    {382, u"Channel Info"},
    {383, u"Optional Features"},
    {384, u"Emergency Channel"},
    {385, u"Selected CH"},
    {386, u"Fixed CH:"},
    {387, u"PTT ID Pause In Channel Set"},
    {388, u"CH"},
    {389, u"OK"},
    {390, u"No Rx Respond: PTT ID No Pause"},
    {391, u"Call Alert Tone"},
    {392, u"Stun Group Code"},
    {393, u"SK1(Hold Time)"},
    {394, u"SK2(Hold Time)"},
    {395, u"s"},
    {396, u"Exit Scan After Switch Channel"},
    {397, u"Enable Vox When No MicroPhone"},
    {398, u"Auto Power Off When Too High Battery Voltage"},
    {399, u"Auto Power Off When Too Low Battery Voltage"},
    {400, u"Restore Default Setting"},
    {401, u"Vox Compare Voltage"},
    {403, u"Default"},
    {405, u"Read"},
    {406, u"Write"},
    {407, u"Channel No."},
    {408, u"Switch Lamp Tone"},
    {409, u"Tail Tone Volume"},
    {411, u"1--Off"},
    {412, u"2--Auto dial"},
    {413, u"3--Monitor"},
    {414, u"2--Scan"},
    {415, u"5--Adjust Power Level"},
    {416, u"6--Leave Network"},
    {417, u"7--Frequency Reverse"},
    {418, u"8--Vox"},
    {419, u"9--Squelch Off"},
    {420, u"10--Squelch Off Momentary"},
    {421, u"11--Channel Lock"},
    {422, u"5--Battery Volume"},
    {423, u"13--Annunciation CH No"},
    {424, u"14--Switch Voice Annun"},
    {425, u"15--Switch Radio"},
    {426, u"16--Emergency Alarm    "},
    {427, u"17--SQL Inspect"},
    {428, u"18--Adjust SQL"},
    {429, u"19--Adjust Vox Level"},
    {430, u"20--Switch PTT ID"},
    {431, u"21--Switch Dial List"},
    {432, u"22--Switch SP Unmute"},
    {433, u"23--Switch Opt Sig"},
    {434, u"24--Switch PTTID Pause"},
    {435, u"25--Switch 2-Tone Dec Grp"},
    {436, u"26--Switch 2-Tone Enc Grp"},
    {437, u"27--Switch Tail Del Mode"},
    {438, u"28--Volume ++"},
    {439, u"29--Volume --"},
    {440, u"30--Lamp"},
    {441, u"31--1750Hz"},
    {443, u"3--Local Alarm"},
    {444, u"4--Distance Alarm"},
    {445, u"Auto Input"},
    {446, u"Off"},
    {447, u"On"},
    {448, u"VOX Function"},
    {450, u"Optional Set"},
    {451, u"Function Parameter 2"},
    {452, u"DTMF 2-Tone"},
    {453, u"Optional Features"},
    {454, u"Volume Mode 2"},
};

struct FixedRow {
  int entry;
  const char16_t* chs;
  const char16_t* cht;
  const char16_t* eng;
};

// Rows whose wording is fixed in all three languages.
const FixedRow kFixed[] = {
    {34, u"中文简体(&C)", u"中文簡體(&C)", u"&Simplified Chinese"},
    {57, u"中文繁体(&T)", u"中文繁體(&T)", u"Traditional Chinese"},
    {35, u"English(&E)", u"English(&E)", u"&English"},
    {50, u"确定", u"確定", u"OK"},
    {68, u"Language has changed, you need to restart the software.", u"Language has changed, you need to restart the software.", u"Language has changed, you need to restart the software."},
    {69, u"本写频软件不支持此对讲机的读写,请选择专用的版本或与代理商联系!", u"本寫頻軟體不支援此對講機的讀寫,請選擇專用的版本或與代理商聯繫!", u"This software Can't support this radio!Please use special radio software or contact with dealers!"},
    {70, u"提示", u"提示", u"Notice"},
    {71, u"确定删除所有的信道数据?", u"確定刪除所有的信道資料?", u"Are you sure delete all channels data?"},
    {72, u"选择不同型号的机型将删除所有信道的数据，是否继续?", u"選擇不同型號的機型將刪除所有信道的資料，是否繼續?", u"All data will be cleared,continue?"},
    {73, u"你要退出吗?", u"你要退出嗎?", u"Are you sure want to exit?"},
    {74, u"当前所有信道数据将被清除，是否继续?", u"當前所有信道資料將被清除，是否繼續?", u"All data will be cleared,continue?"},
    {76, u"正在通信，请稍候", u"正在通信，請稍候", u"Communicating,wait a minute"},
    {77, u"通信成功", u"通信成功", u"Communication success"},
    {78, u"通信失败", u"通信失敗", u"Communication failed"},
    {79, u"通信出错，请检查连线及串口的选择!", u"通信出錯，請檢查連線及串口的選擇!", u"Communication failed,please check commuication port!"},
    {81, u"打开端口失败，请选择其它端口!", u"打開埠失敗，請選擇其他埠!", u"Failed to open port!"},
    {82, u"文件内容已经改变,想保存文件吗?", u"檔內容已經改變,想保存檔嗎?", u"TempData has changed,Do you want to save it now?"},
    {83, u"错误的文件类型!", u"錯誤的檔類型!", u"Wrong file type!"},
    {84, u"保存文件出错!", u"保存檔出錯!", u"Save file failed!"},
    {86, u"写文件出错!", u"寫文件出錯!", u"Save file failed!"},
    {87, u"读文件出错!", u"讀文件出錯!", u"Read file failed!"},
    {88, u"频段不符,无法写入!", u"頻段不符,無法寫入!", u"Frequency range is not right!"},
    {89, u"频段不符,是否继续?", u"頻段不符,是否繼續?", u"Frequency range is not right，continue?"},
    {94, u"就绪", u"Ready", u"Ready"},
    {116, u"信道界面已锁定", u"Face Locked", u"Interface Locked"},
    {164, u"正在读取.....", u"正在讀取.....", u"Reading Now......"},
    {165, u"读取成功", u"讀取成功", u"Read Successful"},
    {166, u"读取失败", u"讀取失敗", u"Read Failed"},
    {168, u"正在写入.....", u"正在寫入.....", u"Writing Now......"},
    {175, u"Rx：没有收到数据，请检查串口及连线！", u"Rx：沒有收到資料，請檢查串口及連線！", u"Rx：Communication failed! No receive Data!"},
    {176, u"Rx：通信时接收数据出错!", u"Rx：通信時接收資料出錯!", u"Rx：Communication failed! Receive Data Error!"},
};

// Entries whose Chinese texts may carry no Chinese characters: codes, numbers,
// units and model names, plus the rows above that stay in English.
const std::set<int> kNoCjkAllowed = {16,  35,  45,  68,  94,  116, 180, 181, 205, 261, 276, 277, 278, 279, 280,
                                     281, 282, 283, 284, 294, 296, 297, 298, 299, 300, 301, 312, 314, 315,
                                     316, 317, 318, 319, 322, 356, 395, 441};

QString q(const char16_t* s) { return QString::fromUtf16(s); }

bool hasCjk(const QString& s) {
  for (QChar c : s)
    if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) return true;
  return false;
}

TEST(TextTable, EnglishTableHoldsEveryTextExactlyAndNothingElse) {
  TextTable table;  // a fresh table is English
  EXPECT_EQ(table.language(), kLangEng);
  std::set<int> used;
  for (const auto& row : kEnglish) {
    used.insert(row.entry);
    EXPECT_EQ(table.SoftFace(row.entry), q(row.text)) << "entry " << row.entry;
    EXPECT_EQ(table[row.entry], q(row.text)) << "entry " << row.entry;
  }
  used.insert(402);
  for (int entry = 0; entry < TextTable::kSlots; ++entry) {
    if (used.count(entry)) continue;
    for (int lang : {kLangChs, kLangCht, kLangEng})
      EXPECT_TRUE(table.text(entry, lang).isEmpty()) << "entry " << entry << " lang " << lang;
  }
}

TEST(TextTable, FixedRowsInAllThreeLanguages) {
  for (int code : {kLangChs, kLangCht, kLangEng}) {
    TextTable table;
    int lang = code;
    table.LoadSoftFace(lang);
    ASSERT_EQ(lang, code);
    ASSERT_EQ(table.language(), code);
    for (const auto& row : kFixed) {
      const char16_t* expected = code == kLangChs ? row.chs : code == kLangCht ? row.cht : row.eng;
      EXPECT_EQ(table.SoftFace(row.entry), q(expected)) << "entry " << row.entry << " lang " << code;
    }
  }
  TextTable table;  // text() reads any language without switching
  for (const auto& row : kFixed) {
    EXPECT_EQ(table.text(row.entry, kLangChs), q(row.chs)) << "entry " << row.entry;
    EXPECT_EQ(table.text(row.entry, kLangCht), q(row.cht)) << "entry " << row.entry;
    EXPECT_EQ(table.text(row.entry, kLangEng), q(row.eng)) << "entry " << row.entry;
  }
  EXPECT_EQ(table.language(), kLangEng);
}

TEST(TextTable, OddEntriesKeepTheirLanguageRules) {
  TextTable table;
  // 402 is a unit shown only in Chinese.
  EXPECT_EQ(table.text(402, kLangEng), QString());
  EXPECT_EQ(table.text(402, kLangChs), QStringLiteral(u"级"));
  EXPECT_EQ(table.text(402, kLangCht), QStringLiteral(u"級"));
  // The Traditional table keeps two status texts in English.
  EXPECT_EQ(table.text(94, kLangChs), QStringLiteral(u"就绪"));
  EXPECT_EQ(table.text(94, kLangCht), QStringLiteral("Ready"));
  EXPECT_EQ(table.text(116, kLangChs), QStringLiteral(u"信道界面已锁定"));
  EXPECT_EQ(table.text(116, kLangCht), QStringLiteral("Face Locked"));
  EXPECT_EQ(table.text(116, kLangEng), QStringLiteral("Interface Locked"));
  // The restart notice reads the same everywhere.
  for (int lang : {kLangChs, kLangCht})
    EXPECT_EQ(table.text(68, lang), QStringLiteral("Language has changed, you need to restart the software."));
}

TEST(TextTable, EveryEnglishTextHasChineseCounterparts) {
  TextTable table;
  for (const auto& row : kEnglish) {
    for (int lang : {kLangChs, kLangCht}) {
      const QString text = table.text(row.entry, lang);
      EXPECT_FALSE(text.isEmpty()) << "entry " << row.entry << " lang " << lang;
      if (!kNoCjkAllowed.count(row.entry)) {
        EXPECT_TRUE(hasCjk(text)) << "entry " << row.entry << " lang " << lang << " reads "
                                  << text.toStdString();
      }
      // A menu accelerator survives translation as a "(&X)" suffix.
      if (q(row.text).contains(u'&')) {
        EXPECT_TRUE(text.contains(u'&')) << "entry " << row.entry << " lang " << lang;
      }
    }
  }
}

TEST(TextTable, LanguageCodeIsNormalisedAndStoredBack) {
  const struct {
    int code;
    int expected;
  } cases[] = {{1, 1}, {2, 2}, {3, 3}, {0, 3}, {4, 3}, {-1, 3}, {32767, 3}, {-32768, 3}};
  for (const auto& c : cases) {
    TextTable table;
    int code = c.code;
    table.LoadSoftFace(code);
    EXPECT_EQ(code, c.expected) << "code " << c.code;
    EXPECT_EQ(table.language(), c.expected) << "code " << c.code;
    EXPECT_EQ(table.SoftFace(50), table.text(50, c.expected)) << "code " << c.code;
  }
  // Switching back and forth refills every slot.
  TextTable table;
  int code = kLangChs;
  table.LoadSoftFace(code);
  EXPECT_EQ(table.SoftFace(50), QStringLiteral(u"确定"));
  code = 7;
  table.LoadSoftFace(code);
  EXPECT_EQ(table.SoftFace(50), QStringLiteral("OK"));
  EXPECT_EQ(table.SoftFace(402), QString());
}

TEST(TextTable, InstancesAreIndependent) {
  TextTable chinese;
  int code = kLangCht;
  chinese.LoadSoftFace(code);
  TextTable english;
  EXPECT_EQ(english.SoftFace(20), QStringLiteral("&File"));
  EXPECT_EQ(chinese.SoftFace(50), QStringLiteral(u"確定"));
}

TEST(TextTable, EntriesOutsideTheTable) {
  TextTable table;
  for (int entry : {-1, TextTable::kSlots, 1000, -32768}) {
    try {
      (void)table.SoftFace(entry);
      ADD_FAILURE() << "no failure for entry " << entry;
    } catch (const RunError& e) {
      EXPECT_EQ(e.code(), kErrSubscript) << "entry " << entry;
    }
    EXPECT_THROW((void)table[entry], RunError);
    EXPECT_EQ(table.text(entry, kLangEng), QString());
    EXPECT_EQ(table.text(entry, kLangChs), QString());
  }
  EXPECT_EQ(table.SoftFace(TextTable::kSlots - 1), QString());  // last slot exists, unused
  EXPECT_EQ(table.SoftFace(0), QStringLiteral("New"));
}

TEST(TextTable, ParserSkipsMalformedRowsAndDecodesEscapes) {
  const QString tsv = QStringLiteral(
      "# comment\t1\t2\t3\n"
      "\n"
      "5\ta\tb\tc\n"
      "6\ttoo\tfew\n"
      "7\ttoo\tmany\tfields\there\n"
      "x8\ta\tb\tc\n"
      "\t\ta\tb\n"
      "456\ta\tb\tc\n"
      "-1\ta\tb\tc\n"
      "99999999999\ta\tb\tc\n"
      "9\tline\\none\ttab\\there\tback\\\\slash \\q\n"
      "10\t\t\tonly English  \r\n"
      "455\tlast\tlast\tlast");  // no newline at the end
  const auto table = parseSoftFaceTable(tsv);
  ASSERT_EQ(table.size(), size_t(TextTable::kSlots));
  EXPECT_EQ(table[5][0], QStringLiteral("a"));
  EXPECT_EQ(table[5][2], QStringLiteral("c"));
  for (int skipped : {0, 6, 7, 8, 1, 2, 3})
    for (const auto& text : table[skipped]) EXPECT_TRUE(text.isEmpty()) << "slot " << skipped;
  EXPECT_EQ(table[9][0], QStringLiteral("line\none"));
  EXPECT_EQ(table[9][1], QStringLiteral("tab\there"));
  EXPECT_EQ(table[9][2], QStringLiteral("back\\slash \\q"));
  EXPECT_EQ(table[10][0], QString());
  EXPECT_EQ(table[10][2], QStringLiteral("only English  "));
  EXPECT_EQ(table[455][1], QStringLiteral("last"));

  EXPECT_EQ(parseSoftFaceTable(QString()).size(), size_t(TextTable::kSlots));
  EXPECT_EQ(parseSoftFaceTable(QStringLiteral("\\\n\t\t\t\t\n1\t\\")).size(), size_t(TextTable::kSlots));
  EXPECT_EQ(parseSoftFaceTable(QStringLiteral("3\ta\tb\tend\\"))[3][2], QStringLiteral("end\\"));
}

}  // namespace
}  // namespace zr
