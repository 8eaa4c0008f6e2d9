#include "platform/window/key_codes.h"

#include <Qt>

#include <utility>

namespace vellum::platform {

namespace {

// Keys whose number does not follow from a range below.
constexpr std::pair<int, int32_t> kNamedKeys[] = {
    {Qt::Key_Backspace, vk::Back},  {Qt::Key_Tab, vk::Tab},         {Qt::Key_Backtab, vk::Tab},
    {Qt::Key_Return, vk::Return},   {Qt::Key_Enter, vk::Return},    {Qt::Key_Shift, vk::Shift},
    {Qt::Key_Control, vk::Control}, {Qt::Key_Alt, vk::Menu},        {Qt::Key_Pause, 0x13},
    {Qt::Key_CapsLock, 0x14},       {Qt::Key_Escape, vk::Escape},   {Qt::Key_Space, vk::Space},
    {Qt::Key_PageUp, vk::Prior},     {Qt::Key_PageDown, vk::Next},   {Qt::Key_End, vk::End},
    {Qt::Key_Home, vk::Home},         {Qt::Key_Left, vk::Left},       {Qt::Key_Up, vk::Up},
    {Qt::Key_Right, vk::Right},     {Qt::Key_Down, vk::Down},       {Qt::Key_Select, 0x29},
    {Qt::Key_Print, 0x2A},          {Qt::Key_Execute, 0x2B},        {Qt::Key_SysReq, 0x2C},
    {Qt::Key_Insert, 0x2D},         {Qt::Key_Delete, vk::Delete},   {Qt::Key_Help, 0x2F},
    {Qt::Key_Meta, 0x5B},           {Qt::Key_Menu, 0x5D},           {Qt::Key_Sleep, 0x5F},
    {Qt::Key_NumLock, 0x90},        {Qt::Key_ScrollLock, 0x91},     {Qt::Key_Semicolon, 0xBA},
    {Qt::Key_Colon, 0xBA},          {Qt::Key_Equal, 0xBB},          {Qt::Key_Plus, 0xBB},
    {Qt::Key_Comma, 0xBC},          {Qt::Key_Less, 0xBC},           {Qt::Key_Minus, 0xBD},
    {Qt::Key_Underscore, 0xBD},     {Qt::Key_Period, 0xBE},         {Qt::Key_Greater, 0xBE},
    {Qt::Key_Slash, 0xBF},          {Qt::Key_Question, 0xBF},       {Qt::Key_QuoteLeft, 0xC0},
    {Qt::Key_AsciiTilde, 0xC0},     {Qt::Key_BracketLeft, 0xDB},    {Qt::Key_BraceLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC},      {Qt::Key_Bar, 0xDC},            {Qt::Key_BracketRight, 0xDD},
    {Qt::Key_BraceRight, 0xDD},     {Qt::Key_Apostrophe, 0xDE},     {Qt::Key_QuoteDbl, 0xDE},
    // The shifted digits of a US keyboard are their digit keys.
    {Qt::Key_Exclam, '1'},          {Qt::Key_At, '2'},              {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},          {Qt::Key_Percent, '5'},         {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},       {Qt::Key_Asterisk, '8'},        {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
};

// The number pad's operators.
constexpr std::pair<int, int32_t> kKeypadKeys[] = {
    {Qt::Key_Asterisk, 0x6A}, {Qt::Key_Plus, 0x6B},  {Qt::Key_Minus, 0x6D},
    {Qt::Key_Period, 0x6E},   {Qt::Key_Comma, 0x6E}, {Qt::Key_Slash, 0x6F},
};

} // namespace

int32_t VirtualKeyOfQtKey(int key, bool keypad)
{
    if (keypad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return 0x60 + (key - Qt::Key_0);
        for (const auto& [qt, code] : kKeypadKeys) {
            if (qt == key) return code;
        }
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return vk::F1 + (key - Qt::Key_F1);
    for (const auto& [qt, code] : kNamedKeys) {
        if (qt == key) return code;
    }
    return 0;
}

} // namespace vellum::platform
