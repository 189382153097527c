#include "keyboard/key_template.h"

#include <utility>

namespace kiosk {
namespace {

constexpr int kKeySize = 27;
constexpr int kGapWidth = 6;
constexpr KeyFont kCharacterFont{13, true};
constexpr KeyFont kLabelFont{11, false};
constexpr KeyFont kCommandFont{11, true};
constexpr KeyFont kSmallFont{10, false};

TemplateElement Character(std::uint16_t code, std::string caption) {
    return {ElementKind::Key,     kKeySize, kKeySize, std::move(caption), kCharacterFont, KeyPicture::None,
            KeyAction::Character, code,     false};
}

TemplateElement Command(int width, std::string caption, KeyFont font, KeyAction action,
                        std::uint16_t code = 0, KeyPicture picture = KeyPicture::None) {
    return {ElementKind::Key, width, kKeySize, std::move(caption), font, picture, action, code, false};
}

TemplateElement Stretch(TemplateElement key) {
    key.Stretch = true;
    return key;
}

using Row = std::vector<TemplateElement>;

Row FirstRow() {
    return {Character(0xC0, "`"), Character(0x31, "1"),
            Character(0x32, "2"), Character(0x33, "3"),
            Character(0x34, "4"), Character(0x35, "5"),
            Character(0x36, "6"), Character(0x37, "7"),
            Character(0x38, "8"), Character(0x39, "9"),
            Character(0x30, "0"), Character(0xBD, "-"),
            Character(0xBB, "="), Command(76, "BackSpace", kLabelFont, KeyAction::Press, 0x08)};
}

Row SecondRow() {
    return {Stretch(Command(43, "Tab", kLabelFont, KeyAction::Tab)),
            Character(0x51, "q"),
            Character(0x57, "w"),
            Character(0x45, "e"),
            Character(0x52, "r"),
            Character(0x54, "t"),
            Character(0x59, "y"),
            Character(0x55, "u"),
            Character(0x49, "i"),
            Character(0x4F, "o"),
            Character(0x50, "p"),
            Character(0xDB, "["),
            Character(0xDD, "]"),
            Character(0xDC, "\\"),
            Command(kKeySize, "Del", kSmallFont, KeyAction::Press, 0x2E)};
}

Row ThirdRow() {
    return {Stretch(Command(55, "CapsLock", kLabelFont, KeyAction::CapsLock)),
            Character(0x41, "a"),
            Character(0x53, "s"),
            Character(0x44, "d"),
            Character(0x46, "f"),
            Character(0x47, "g"),
            Character(0x48, "h"),
            Character(0x4A, "j"),
            Character(0x4B, "k"),
            Character(0x4C, "l"),
            Character(0xBA, ";"),
            Character(0xDE, "'"),
            Command(81, "Enter", kLabelFont, KeyAction::Enter)};
}

Row FourthRow() {
    return {Stretch(Command(76, "Shift", kLabelFont, KeyAction::Shift)),
            Character(0x5A, "z"),
            Character(0x58, "x"),
            Character(0x43, "c"),
            Character(0x56, "v"),
            Character(0x42, "b"),
            Character(0x4E, "n"),
            Character(0x4D, "m"),
            Character(0xBC, ","),
            Character(0xBE, "."),
            Character(0xBF, "/"),
            Command(kKeySize, "Hom", kLabelFont, KeyAction::Press, 0x24),
            Command(kKeySize, "", kSmallFont, KeyAction::Press, 0x26, KeyPicture::ArrowUp),
            Command(kKeySize, "End", kLabelFont, KeyAction::Press, 0x23)};
}

Row FifthRow() {
    return {Stretch(Command(94, "", kCommandFont, KeyAction::Language)),
            Command(36, "", kCommandFont, KeyAction::Copy, 0, KeyPicture::Copy),
            Command(222, "", kSmallFont, KeyAction::Press, 0x20),
            Command(36, "", kCommandFont, KeyAction::Paste, 0, KeyPicture::Paste),
            Command(kKeySize, "", kSmallFont, KeyAction::Press, 0x25, KeyPicture::ArrowLeft),
            Command(kKeySize, "", kSmallFont, KeyAction::Press, 0x28, KeyPicture::ArrowDown),
            Command(kKeySize, "", kSmallFont, KeyAction::Press, 0x27, KeyPicture::ArrowRight)};
}

TemplateElement Blank(int width, int height) {
    TemplateElement blank;
    blank.Kind = width < height ? ElementKind::Gap : ElementKind::Separator;
    blank.Width = width;
    blank.Height = height;
    return blank;
}

void AppendRow(std::vector<TemplateElement>& elements, const Row& row) {
    if (!elements.empty()) elements.push_back(Blank(kTemplateRowWidth, kGapWidth));
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0) elements.push_back(Blank(kGapWidth, kKeySize));
        elements.push_back(row[i]);
    }
}

std::vector<TemplateElement> BuildTemplate() {
    std::vector<TemplateElement> elements;
    for (const Row& row : {FirstRow(), SecondRow(), ThirdRow(), FourthRow(), FifthRow()}) {
        AppendRow(elements, row);
    }
    return elements;
}

}  // namespace

const std::vector<TemplateElement>& KeyTemplate() {
    static const std::vector<TemplateElement> elements = BuildTemplate();
    return elements;
}

}  // namespace kiosk
