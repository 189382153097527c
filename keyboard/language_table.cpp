#include "keyboard/language_table.h"

namespace kiosk {
namespace {

// Primary language 0x1A is split by sublanguage into Croatian, Serbian and Bosnian.
constexpr LanguageEntry kLanguages[] = {
    {0x0401, "Arabic"},     {0x0801, "Arabic"},     {0x0C01, "Arabic"},     {0x1001, "Arabic"},
    {0x1401, "Arabic"},     {0x1801, "Arabic"},     {0x1C01, "Arabic"},     {0x2001, "Arabic"},
    {0x2401, "Arabic"},     {0x2801, "Arabic"},     {0x2C01, "Arabic"},     {0x3001, "Arabic"},
    {0x3401, "Arabic"},     {0x3801, "Arabic"},     {0x3C01, "Arabic"},     {0x4001, "Arabic"},
    {0x0402, "Bulgarian"},  {0x0403, "Catalan"},    {0x0404, "Chinese"},    {0x0804, "Chinese"},
    {0x0C04, "Chinese"},    {0x1004, "Chinese"},    {0x1404, "Chinese"},    {0x0405, "Czech"},
    {0x0406, "Danish"},     {0x0407, "German"},     {0x0807, "German"},     {0x0C07, "German"},
    {0x1007, "German"},     {0x1407, "German"},     {0x0408, "Greck"},      {0x0409, "English"},
    {0x0809, "English"},    {0x0C09, "English"},    {0x1009, "English"},    {0x1409, "English"},
    {0x1809, "English"},    {0x1C09, "English"},    {0x2009, "English"},    {0x2409, "English"},
    {0x2809, "English"},    {0x2C09, "English"},    {0x3009, "English"},    {0x3409, "English"},
    {0x040A, "Spanish"},    {0x080A, "Spanish"},    {0x0C0A, "Spanish"},    {0x100A, "Spanish"},
    {0x140A, "Spanish"},    {0x180A, "Spanish"},    {0x1C0A, "Spanish"},    {0x200A, "Spanish"},
    {0x240A, "Spanish"},    {0x280A, "Spanish"},    {0x2C0A, "Spanish"},    {0x300A, "Spanish"},
    {0x340A, "Spanish"},    {0x380A, "Spanish"},    {0x3C0A, "Spanish"},    {0x400A, "Spanish"},
    {0x440A, "Spanish"},    {0x480A, "Spanish"},    {0x4C0A, "Spanish"},    {0x500A, "Spanish"},
    {0x040B, "Finnish"},    {0x040C, "French"},     {0x080C, "French"},     {0x0C0C, "French"},
    {0x100C, "French"},     {0x140C, "French"},     {0x180C, "French"},     {0x040D, "Hebrew"},
    {0x040E, "Hungarian"},  {0x040F, "Icelandic"},  {0x0410, "Italian"},    {0x0810, "Italian"},
    {0x0411, "Japanese"},   {0x0412, "Korean"},     {0x0413, "Dutch"},      {0x0813, "Dutch"},
    {0x0414, "Norwegian"},  {0x0814, "Norwegian"},  {0x0415, "Polish"},     {0x0416, "Portuguese"},
    {0x0816, "Portuguese"}, {0x0417, "Romansh"},    {0x0418, "Romanian"},   {0x0419, "Russian"},
    {0x041A, "Croatian"},   {0x101A, "Croatian"},   {0x041B, "Slovak"},     {0x041C, "Albanian"},
    {0x041D, "Swedish"},    {0x081D, "Swedish"},    {0x041E, "Thai"},       {0x041F, "Turkish"},
    {0x0420, "Urdu"},       {0x0421, "Indonesian"}, {0x0422, "Ukrainian"},  {0x0423, "Belarusian"},
    {0x0424, "Slovenian"},  {0x0425, "Estonian"},   {0x0426, "Latvian"},    {0x0427, "Lithuanian"},
    {0x0429, "Farsi"},      {0x042A, "Vietnamese"}, {0x042B, "Armenian"},   {0x042C, "Azeri"},
    {0x082C, "Azeri"},      {0x042D, "Basque"},     {0x042F, "Macedonian"}, {0x0432, "Setswana"},
    {0x0434, "Xhosa"},      {0x0435, "Zulu"},       {0x0436, "Afrikaans"},  {0x0437, "Georgian"},
    {0x0438, "Faroese"},    {0x0439, "Hindi"},      {0x043A, "Maltese"},    {0x043B, "Sami"},
    {0x083B, "Sami"},       {0x0C3B, "Sami"},       {0x103B, "Sami"},       {0x143B, "Sami"},
    {0x183B, "Sami"},       {0x1C3B, "Sami"},       {0x203B, "Sami"},       {0x243B, "Sami"},
    {0x043E, "Malay"},      {0x083E, "Malay"},      {0x043F, "Kazakh"},     {0x0440, "Kyrgyz"},
    {0x0441, "Swahili"},    {0x0443, "Uzbek"},      {0x0843, "Uzbek"},      {0x0444, "Tatar"},
    {0x0446, "Punjabi"},    {0x0447, "Gujarati"},   {0x0449, "Tamil"},      {0x044A, "Telugu"},
    {0x044B, "Kannada"},    {0x044E, "Marathi"},    {0x044F, "Sanskrit"},   {0x0450, "Mongolian"},
    {0x0452, "Welsh"},      {0x0456, "Galician"},   {0x0457, "Konkani"},    {0x045A, "Syriac"},
    {0x0462, "Frisian"},    {0x0464, "Filipino"},   {0x0465, "Divehi"},     {0x046B, "Quechua"},
    {0x086B, "Quechua"},    {0x0C6B, "Quechua"},    {0x046C, "Sesotho"},    {0x046E, "Luxembourgish"},
    {0x047A, "Mapudungun"}, {0x047C, "Mohawk"},     {0x0481, "Maori"},      {0x081A, "Serbian"},
    {0x0C1A, "Serbian"},    {0x181A, "Serbian"},    {0x1C1A, "Serbian"},    {0x083C, "Irish"},
    {0x085D, "Inuktitut"},  {0x141A, "Bosnian"},    {0x201A, "Bosnian"},
};

}  // namespace

std::span<const LanguageEntry> LanguageTable() {
    return kLanguages;
}

std::string LanguageName(std::int32_t identifier) {
    for (const LanguageEntry& entry : kLanguages) {
        if (entry.Identifier == identifier) return entry.Name;
    }
    return {};
}

}  // namespace kiosk
