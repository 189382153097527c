#include "platform/linux/virtual_key_codes.h"

#include <linux/input-event-codes.h>

namespace kiosk {
namespace {

// X keycodes are evdev keycodes shifted past the 8 codes X reserves.
constexpr unsigned kXKeycodeOffset = 8;

constexpr VirtualKeyCode kTable[] = {
    {0x08, KEY_BACKSPACE}, {0x09, KEY_TAB},        {0x0D, KEY_ENTER},      {0x10, KEY_LEFTSHIFT},
    {0x11, KEY_LEFTCTRL},  {0x12, KEY_LEFTALT},    {0x13, KEY_PAUSE},      {0x14, KEY_CAPSLOCK},
    {0x1B, KEY_ESC},       {0x20, KEY_SPACE},      {0x21, KEY_PAGEUP},     {0x22, KEY_PAGEDOWN},
    {0x23, KEY_END},       {0x24, KEY_HOME},       {0x25, KEY_LEFT},       {0x26, KEY_UP},
    {0x27, KEY_RIGHT},     {0x28, KEY_DOWN},       {0x2C, KEY_SYSRQ},      {0x2D, KEY_INSERT},
    {0x2E, KEY_DELETE},    {0x30, KEY_0},          {0x31, KEY_1},          {0x32, KEY_2},
    {0x33, KEY_3},         {0x34, KEY_4},          {0x35, KEY_5},          {0x36, KEY_6},
    {0x37, KEY_7},         {0x38, KEY_8},          {0x39, KEY_9},          {0x41, KEY_A},
    {0x42, KEY_B},         {0x43, KEY_C},          {0x44, KEY_D},          {0x45, KEY_E},
    {0x46, KEY_F},         {0x47, KEY_G},          {0x48, KEY_H},          {0x49, KEY_I},
    {0x4A, KEY_J},         {0x4B, KEY_K},          {0x4C, KEY_L},          {0x4D, KEY_M},
    {0x4E, KEY_N},         {0x4F, KEY_O},          {0x50, KEY_P},          {0x51, KEY_Q},
    {0x52, KEY_R},         {0x53, KEY_S},          {0x54, KEY_T},          {0x55, KEY_U},
    {0x56, KEY_V},         {0x57, KEY_W},          {0x58, KEY_X},          {0x59, KEY_Y},
    {0x5A, KEY_Z},         {0x5B, KEY_LEFTMETA},   {0x5C, KEY_RIGHTMETA},  {0x5D, KEY_COMPOSE},
    {0x70, KEY_F1},        {0x71, KEY_F2},         {0x72, KEY_F3},         {0x73, KEY_F4},
    {0x74, KEY_F5},        {0x75, KEY_F6},         {0x76, KEY_F7},         {0x77, KEY_F8},
    {0x78, KEY_F9},        {0x79, KEY_F10},        {0x7A, KEY_F11},        {0x7B, KEY_F12},
    {0x90, KEY_NUMLOCK},   {0x91, KEY_SCROLLLOCK}, {0xA0, KEY_LEFTSHIFT},  {0xA1, KEY_RIGHTSHIFT},
    {0xA2, KEY_LEFTCTRL},  {0xA3, KEY_RIGHTCTRL},  {0xA4, KEY_LEFTALT},    {0xA5, KEY_RIGHTALT},
    {0xBA, KEY_SEMICOLON}, {0xBB, KEY_EQUAL},      {0xBC, KEY_COMMA},      {0xBD, KEY_MINUS},
    {0xBE, KEY_DOT},       {0xBF, KEY_SLASH},      {0xC0, KEY_GRAVE},      {0xDB, KEY_LEFTBRACE},
    {0xDC, KEY_BACKSLASH}, {0xDD, KEY_RIGHTBRACE}, {0xDE, KEY_APOSTROPHE}, {0xE2, KEY_102ND},
};

}  // namespace

std::span<const VirtualKeyCode> VirtualKeyTable() {
    return kTable;
}

unsigned EvdevKeycode(std::uint16_t vk) {
    for (const VirtualKeyCode& entry : kTable) {
        if (entry.Vk == vk) return entry.Evdev;
    }
    return 0;
}

unsigned XKeycode(std::uint16_t vk) {
    const unsigned evdev = EvdevKeycode(vk);
    return evdev == 0 ? 0 : evdev + kXKeycodeOffset;
}

}  // namespace kiosk
