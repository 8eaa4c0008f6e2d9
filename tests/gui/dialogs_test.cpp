// The form dialogs as users meet them: real pop-up menus, message boxes,
// the contact chooser and the voice recorder, shown from scripts on the
// offscreen platform and answered with real key and mouse events.
#include "audio/wave_bytes.h"
#include "gui/dialogs/camera_options.h"
#include "gui/dialogs/picture_fit.h"
#include "gui/form_fixture.h"
#include "host/file_bytes.h"
#include "host/temp_folder.h"
#include "media/recorder/recorder_method.h"
#include "platform/audio/wave_file.h"
#include "platform/desktop/message_box.h"
#include "platform/draw/picture.h"
#include "platform/files/device_folder.h"
#include "platform/window/device_screen.h"
#include "system/contacts/contact_store.h"

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <tuple>

namespace vellum::test {
namespace {

void Key(QWidget* w, Qt::Key key) { QTest::keyClick(w, key); }

std::string Base64Png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toBase64().toStdString();
}

// A photo 40 x 20: red on the left, transparent on the right.
QImage HalfRedPhoto()
{
    QImage photo(40, 20, QImage::Format_ARGB32);
    photo.fill(Qt::transparent);
    QPainter(&photo).fillRect(0, 0, 20, 20, Qt::red);
    return photo;
}

class DialogsTest : public FormFixture {
protected:
    void SetUp() override
    {
        h.ip.SetPathResolver(&paths);
        // These tests answer the dialogs themselves.
        platform::SetConsoleMode(false);
        media::RegisterRecorderMethod(h.ip);
    }
    void TearDown() override { platform::SetConsoleMode(true); }

    // Shows a form and runs steps inside its loop; the form is closed after them.
    void WithForm(const std::function<void(QWidget* client)>& steps) { ShowView("TRectangle({})", steps); }

    TempFolder folder;
    platform::DeviceFolder paths{folder.path};
};

TEST_F(DialogsTest, PopupMenuGivesTheChosenIdentifierAndMsgBoxIsCaptionedWithTheFormsTitle)
{
    platform::SetDeviceScreen({{240, 320}, 192});
    h.Ok("var gMenu = {{item = 'Alpha', action = function() Log('alpha') end}, {}, "
         "{menu = 'More', items = {{item = 'Beta', action = function() Log('beta:' & this.id) end}}}}");
    WithForm([&](QWidget* client) {
        // Down to "More", open it, choose "Beta": the second command, 101.
        WhenShown(Popup, [&](QWidget* menu) {
            // 10, 20 DIP on a 192-dpi form: client pixel 20, 40.
            EXPECT_EQ(menu->pos(), client->mapToGlobal(QPoint(20, 40)));
            Key(menu, Qt::Key_Down);
            Key(menu, Qt::Key_Down);
            Key(menu, Qt::Key_Right);
            WhenShown([menu] { return Popup() != menu ? Popup() : nullptr; },
                      [](QWidget* sub) { Key(sub, Qt::Key_Return); });
        });
        EXPECT_EQ(h.Eval("gForm.PopupMenu(gMenu, {x = 10, y = 20})"), "101");
        EXPECT_EQ(h.TakeLog(), "beta:101 ");

        // Dismissed: 0, no action. Without numbers for x and y it opens at the top left.
        WhenShown(Popup, [&](QWidget* menu) {
            EXPECT_EQ(menu->pos(), client->mapToGlobal(QPoint(0, 0)));
            Key(menu, Qt::Key_Escape);
        });
        EXPECT_EQ(h.Eval("gForm.PopupMenu(gMenu, {x = 'left', y = 5})"), "0");
        EXPECT_EQ(h.TakeLog(), "");
        // Chosen with the mouse.
        WhenShown(Popup, [](QWidget* w) {
            auto* menu = qobject_cast<QMenu*>(w);
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().front()).center());
        });
        EXPECT_EQ(h.Eval("gForm.PopupMenu(gMenu, {x = 0, y = 0})"), "100");
        EXPECT_EQ(h.TakeLog(), "alpha ");

        // "check" and "enable" show as they do in the form's own menu.
        h.Ok("var gStates = {{item = 'Off', enable = false}, {item = 'On', check = true}}");
        WhenShown(Popup, [](QWidget* w) {
            const QList<QAction*> actions = qobject_cast<QMenu*>(w)->actions();
            ASSERT_EQ(actions.size(), 2);
            EXPECT_FALSE(actions[0]->isEnabled());
            EXPECT_TRUE(actions[1]->isChecked());
            Key(w, Qt::Key_Escape);
        });
        EXPECT_EQ(h.Eval("gForm.PopupMenu(gStates, {})"), "0");

        EXPECT_EQ(h.Run("gForm.PopupMenu(gMenu, 5)"), "errTableExpected");
        EXPECT_EQ(h.Run("gForm.PopupMenu(gMenu)"), "errFewArguments");

        // The box is owned by the form and captioned with its title unless the script gives one.
        for (const auto& [call, caption, button, answer] :
             {std::tuple("gForm.MsgBox('Saved')", "Test", QMessageBox::Ok, "ok"),
              std::tuple("gForm.MsgBox('Delete the note?', 'Delete?', 'YESNO', 'question')", "Delete?",
                         QMessageBox::No, "no")}) {
            WhenShown(Modal, [client, caption, button](QWidget* w) {
                auto* box = qobject_cast<QMessageBox*>(w);
                ASSERT_NE(box, nullptr);
                EXPECT_EQ(box->windowTitle(), caption);
                EXPECT_EQ(box->parentWidget(), client->window());
                QTest::mouseClick(box->button(button), Qt::LeftButton);
            });
            EXPECT_EQ(h.Eval(call), answer);
        }
        EXPECT_EQ(h.Run("gForm.MsgBox()"), "errFewArguments");
    });
    // Once the window is gone the menu cannot open.
    EXPECT_EQ(h.Eval("gForm.PopupMenu(gMenu, {})"), "-1");
    EXPECT_EQ(h.Eval("TForm.PopupMenu(gMenu, {})"), "null");
}

// Contacts as phones and address books write them (the vCard tests read
// every form of card): a photo, a card of two numbers and one of none in a
// file whose extension is in capitals, and a card with a UID.
void WriteContacts(const std::filesystem::path& contacts)
{
    std::filesystem::create_directories(contacts);
    const std::string photo = Base64Png(HalfRedPhoto());
    WriteBytes(contacts / "anna.vcf", "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Anna Berg\r\nTEL;CELL:+49 170 555 0101\r\n"
                                     "PHOTO;ENCODING=BASE64;TYPE=PNG:" + photo + "\r\nEND:VCARD\r\n");
    WriteBytes(contacts / "office.VCF", "BEGIN:VCARD\nVERSION:3.0\nN:Doe;John;;Dr.;\nTEL;TYPE=work,voice:555-0102\n"
                                       "item1.TEL;TYPE=HOME:555-0103\nEND:VCARD\n"
                                       "BEGIN:VCARD\nVERSION:3.0\nFN:No\\, Number\nEMAIL:x@example.org\nEND:VCARD\n");
    WriteBytes(contacts / "zoe.vcf", "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:urn:uuid:zoe\r\nFN:Zoe\r\n"
                                    "TEL;VALUE=uri;TYPE=\"cell,text\":tel:+1-555-0104\r\n"
                                    "PHOTO:data:image/png;base64," + photo + "\r\nEND:VCARD\r\n");
}

TEST_F(DialogsTest, ContactChooserListsNumbersAndGivesTheChosenOne)
{
    WriteContacts(folder.path / "Contacts");
    WithForm([&](QWidget*) {
        WhenShown(Modal, [](QWidget* dialog) {
            auto* list = dialog->findChild<QListWidget*>();
            auto* search = dialog->findChild<QLineEdit*>();
            ASSERT_TRUE(list != nullptr && search != nullptr);
            // One row a number: Anna, John twice, Zoe; nobody without a number.
            QStringList rows;
            for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text().section('\n', 0, 0);
            EXPECT_EQ(rows, QStringList({"Anna Berg", "Dr. John Doe", "Dr. John Doe", "Zoe"}));
            // Typing narrows the list; the arrow keys move in what is left.
            QTest::keyClicks(search, "555-010");
            int shown = 0;
            for (int i = 0; i < list->count(); ++i) shown += list->item(i)->isHidden() ? 0 : 1;
            EXPECT_EQ(shown, 3); // Anna's number is written with spaces
            QTest::keyClicks(search, "3");
            Key(search, Qt::Key_Return);
        });
        h.Ok("var c = gForm.ChooseContact()");
        EXPECT_EQ(h.Eval("c.name & '|' & c.number & '|' & c.picture"), "Dr. John Doe|555-0103|null");
        // Read again, the contacts keep their identifiers.
        const auto contacts = contacts::LoadContacts(folder.path / "Contacts");
        ASSERT_EQ(contacts.size(), 4u);
        EXPECT_EQ(h.Eval("c.id"), std::to_string(contacts[1].id));

        // Zoe has a photo; her identifier comes from her UID.
        WhenShown(Modal, [](QWidget* dialog) {
            QTest::keyClicks(dialog->findChild<QLineEdit*>(), "zo");
            Key(dialog->findChild<QLineEdit*>(), Qt::Key_Return);
        });
        h.Ok("c = gForm.ChooseContact()");
        EXPECT_EQ(h.Eval("c.name & '|' & c.number & '|' & c.picture"), "Zoe|+1-555-0104|true");

        // Cancelled: an empty table.
        WhenShown(Modal, [](QWidget* dialog) { Key(dialog->findChild<QLineEdit*>(), Qt::Key_Escape); });
        EXPECT_EQ(h.Eval("Count(gForm.ChooseContact())"), "0");
    });
}

TEST_F(DialogsTest, PoomBitmapFitsThePhotoIntoTheBoxOnWhite)
{
    WriteContacts(folder.path / "Contacts");
    const auto contacts = contacts::LoadContacts(folder.path / "Contacts");
    const std::string anna = std::to_string(contacts[0].id);
    const std::string john = std::to_string(contacts[1].id);
    ASSERT_EQ(contacts[0].card.name, u"Anna Berg");
    WithForm([&](QWidget*) {
        const auto picture = [&](const std::string& call) -> const platform::Picture* {
            h.Ok("result = " + call);
            const Value v = h.ip.GetGlobal(u"result");
            EXPECT_EQ(v.tag, Tag::Binary);
            return static_cast<const platform::Picture*>(v.binary);
        };
        // 40 x 20 into 30 x 30: the width is the limit. Into 100 x 10: the height.
        const platform::Picture* wide = picture("gForm.PoomBitmap(" + anna + ", 30, 30)");
        ASSERT_NE(wide, nullptr);
        EXPECT_EQ(wide->Dimensions(), (platform::Size{30, 15}));
        const platform::Picture* flat = picture("gForm.PoomBitmap(" + anna + ", 100, 10)");
        ASSERT_NE(flat, nullptr);
        EXPECT_EQ(flat->Dimensions(), (platform::Size{20, 10}));
        // Drawn by a TImage: red where the photo is, white where it is transparent.
        h.Ok("var gImage = TImage({image = gForm.PoomBitmap(" + anna + ", 30, 30)})");
        const QImage pixels = h.Paint(h.Build(u"gImage", {0, 0, 29, 14}));
        EXPECT_EQ(PixelAt(pixels, 5, 7), kRed);
        // The same request gives the same picture, not another copy.
        EXPECT_EQ(picture("gForm.PoomBitmap(" + anna + ", 30, 30)"), wide);
        // No photo, no contact, an empty box: a handle of 0.
        EXPECT_EQ(picture("gForm.PoomBitmap(" + john + ", 30, 30)"), nullptr);
        EXPECT_EQ(picture("gForm.PoomBitmap(12345, 30, 30)"), nullptr);
        EXPECT_EQ(picture("gForm.PoomBitmap(" + anna + ", 0, 30)"), nullptr);
        EXPECT_EQ(picture("gForm.PoomBitmap(" + anna + ", 100000, 100000)"), nullptr);
        EXPECT_EQ(h.Run("gForm.PoomBitmap('a', 1, 1)"), "errNumberExpected");
        EXPECT_EQ(h.Run("gForm.PoomBitmap(1, 1)"), "errFewArguments");
    });
    EXPECT_EQ(gui::FitKeepingAspect({3, 2}, {10, 5}), (platform::Size{8, 5})); // 7.5 rounds up
    EXPECT_EQ(gui::MulDiv(-3, 5, 2), -8);
    EXPECT_EQ(gui::MulDiv(1, 1, 0), -1);
}

// A WAV file of 16-bit mono samples at 22 050 Hz.
std::string WaveFile(const std::vector<int16_t>& samples)
{
    const std::vector<uint8_t> bytes = WaveBytes(WaveHeader().Rate(22050), Pcm16(samples));
    return std::string(bytes.begin(), bytes.end());
}

TEST_F(DialogsTest, VoiceRecorderRecordsTheInputAndPlaysItBackOrWithoutAMicrophoneAnswersFalse)
{
    std::vector<int16_t> input(4410);
    for (size_t i = 0; i < input.size(); ++i) input[i] = static_cast<int16_t>((i * 37) % 20000 - 10000);
    const auto in = folder.path / "in.wav";
    const auto out = folder.path / "out.wav";
    WriteBytes(in, WaveFile(input));
    setenv("VELLUM_AUDIO_OUT", out.c_str(), 1);
    WithForm([&](QWidget*) {
        // No microphone (the input named is not there): the recorder says so, its Record button stays
        // off, and the caller is not told of a note.
        setenv("VELLUM_AUDIO_IN", (folder.path / "no-microphone.wav").c_str(), 1);
        WhenShown(Modal, [](QWidget* dialog) {
            EXPECT_FALSE(ButtonWithText(dialog, "Record")->isEnabled());
            bool said = false;
            for (const QLabel* label : dialog->findChildren<QLabel*>()) {
                said = said || (label->isVisible() && label->text().startsWith("No microphone"));
            }
            EXPECT_TRUE(said);
            QTest::mouseClick(ButtonWithText(dialog, "Close"), Qt::LeftButton);
        });
        EXPECT_EQ(h.Eval("gForm.VoiceRecorder('\\\\note.wav')"), "false");
        // Only playing: the dialog has no Record button; the user closes it.
        const auto closePlayOnly = [] {
            WhenShown(Modal, [](QWidget* dialog) {
                EXPECT_FALSE(ButtonWithText(dialog, "Record")->isVisible());
                QTest::mouseClick(ButtonWithText(dialog, "Close"), Qt::LeftButton);
            });
        };
        // Only playing needs no microphone, but a note that is not there is none.
        closePlayOnly();
        EXPECT_EQ(h.Eval("gForm.VoiceRecorder('\\\\note.wav', {record = false})"), "false");
        EXPECT_FALSE(std::filesystem::exists(folder.path / "note.wav"));

        setenv("VELLUM_AUDIO_IN", in.c_str(), 1);
        WhenShown(Modal, [](QWidget* dialog) {
            QAbstractButton* record = ButtonWithText(dialog, "Record");
            QAbstractButton* play = ButtonWithText(dialog, "Play");
            ASSERT_TRUE(record != nullptr && play != nullptr);
            QTest::mouseClick(record, Qt::LeftButton);
            EXPECT_FALSE(record->isEnabled());
            // The input ends after 0.2 s, and the recording with it.
            EXPECT_TRUE(QTest::qWaitFor([&] { return record->isEnabled(); }, 5000));
            QTest::mouseClick(play, Qt::LeftButton);
            QAbstractButton* stop = ButtonWithText(dialog, "Stop");
            EXPECT_TRUE(stop->isEnabled());
            EXPECT_TRUE(QTest::qWaitFor([&] { return !stop->isEnabled(); }, 5000));
            QTest::mouseClick(ButtonWithText(dialog, "Close"), Qt::LeftButton);
        });
        EXPECT_EQ(h.Eval("gForm.VoiceRecorder('\\\\note.wav')"), "true");
        closePlayOnly();
        EXPECT_EQ(h.Eval("gForm.VoiceRecorder('\\\\note.wav', {record = false, x = 10, y = 10})"), "true");
        EXPECT_EQ(h.Run("gForm.VoiceRecorder('\\\\note.wav', 3)"), "errTableExpected");
        EXPECT_EQ(h.Eval("TForm.VoiceRecorder('\\\\note.wav')"), "null");
    });
    unsetenv("VELLUM_AUDIO_IN");
    unsetenv("VELLUM_AUDIO_OUT");

    // The note holds the input sample for sample, in the format the mixer reads.
    const auto note = ReadBytes(folder.path / "note.wav");
    EXPECT_EQ(note.substr(0, 44), WaveFile({}).substr(0, 4) + WaveFile(input).substr(4, 40));
    EXPECT_EQ(note.substr(44), WaveFile(input).substr(44));
    // Played through the wave output at its rate: each sample twice.
    std::vector<int32_t> heard;
    ASSERT_EQ(platform::ReadWaveFile(out, heard), platform::WaveReadResult::Ok);
    ASSERT_GE(heard.size(), input.size() * 2);
    for (size_t i = 0; i < input.size() * 2; ++i) ASSERT_EQ(heard[i], input[i / 2]) << i;
}

TEST_F(DialogsTest, CameraWithoutACameraIsCancelledAtOnce)
{
    WithForm([&](QWidget*) {
        EXPECT_EQ(h.Eval("gForm.CameraCapture({quality = 'high', mode = 'video'})"), "null");
        EXPECT_EQ(h.Eval("gForm.CameraCapture()"), "null");
        EXPECT_EQ(h.Run("gForm.CameraCapture(1)"), "errTableExpected");
    });
    EXPECT_FALSE(std::filesystem::exists(folder.path / "My Documents" / "Picture1.jpg"));

    h.Ok("var gOptions = {quality = 'high', mode = 'video&audio', videoType = 'messaging', "
         "width = 70000.9, height = -1, timeLimit = 30.5, title = 12, file = 'clip', initialDir = '\\Clips'}");
    gui::CameraOptions options = gui::ReadCameraOptions(h.ip, h.ip.GetGlobal(u"gOptions").table);
    EXPECT_EQ(options.request.quality, platform::StillQuality::High);
    EXPECT_EQ(options.request.mode, platform::CameraMode::VideoWithSound);
    EXPECT_EQ(options.request.width, 70000 & 0xFFFF);
    EXPECT_EQ(options.request.timeLimitSeconds, 30);
    EXPECT_EQ(options.request.title, u""); // only texts count
    // Keywords are compared as written.
    h.Ok("gOptions = {quality = 'High', mode = 'Video', videoType = 'Messaging'}");
    options = gui::ReadCameraOptions(h.ip, h.ip.GetGlobal(u"gOptions").table);
    EXPECT_EQ(options.request.quality, platform::StillQuality::Default);
}

} // namespace
} // namespace vellum::test
