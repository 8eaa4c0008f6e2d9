// ChooseContact and PoomBitmap over the contacts of \Contacts. A contact
// picture handed to a script is a "binary" value that TImage draws; the
// script never frees it, so each picture is kept for the rest of the run,
// and asking again for the same contact at the same size gives the same
// picture instead of another copy.
#include "engine/vm/path_resolver.h"
#include "gui/dialogs/dialog_methods.h"
#include "gui/dialogs/picture_fit.h"
#include "platform/dialogs/contact_chooser.h"
#include "platform/dialogs/contact_picture.h"
#include "system/contacts/contact_store.h"

#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <tuple>

namespace vellum::gui {

namespace {

// Larger pictures than this are refused rather than allocated.
constexpr int64_t kMaxPicturePixels = 4096 * 4096;

std::vector<contacts::Contact> DeviceContacts(Interpreter& ip)
{
    const auto folder = ip.Paths().HostPath(u"\\Contacts");
    return folder ? contacts::LoadContacts(*folder) : std::vector<contacts::Contact>{};
}

std::u16string KindOf(const contacts::Phone& phone)
{
    std::u16string kind;
    for (const std::u16string& type : phone.types) {
        if (!kind.empty()) kind += u", ";
        kind += type;
    }
    return kind;
}

const platform::Picture* KeptPicture(int32_t id, platform::Size size, const std::vector<uint8_t>& photo)
{
    using Key = std::tuple<int32_t, int32_t, int32_t, size_t>;
    static std::map<Key, std::unique_ptr<platform::Picture>> kept;
    const std::string_view bytes(reinterpret_cast<const char*>(photo.data()), photo.size());
    const Key key{id, size.width, size.height, std::hash<std::string_view>{}(bytes)};
    auto found = kept.find(key);
    if (found == kept.end()) {
        auto picture = platform::PictureOnWhite(photo, size);
        if (picture == nullptr) return nullptr;
        found = kept.emplace(key, std::move(picture)).first;
    }
    return found->second.get();
}

} // namespace

// ChooseContact(): {name, number, id[, picture = true]} for the phone
// number the user picks, an empty table when cancelled.
uint32_t ChooseContact(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    Form* form = ThisForm(ip);
    if (form == nullptr) return 0;
    const std::vector<contacts::Contact> all = DeviceContacts(ip);
    std::vector<platform::ContactRow> rows;
    std::vector<std::pair<size_t, size_t>> numbers; // contact and phone of each row
    for (size_t c = 0; c < all.size(); ++c) {
        for (size_t p = 0; p < all[c].card.phones.size(); ++p) {
            const contacts::Phone& phone = all[c].card.phones[p];
            rows.push_back({all[c].card.name, phone.number, KindOf(phone)});
            numbers.emplace_back(c, p);
        }
    }
    ValueRoot keepForm(ip, Value::Pointer(form));
    const std::optional<size_t> chosen = platform::ChooseContactRow(form->LiveWindow(), rows);
    TableObject* result = ip.NewTable();
    ValueRoot keepResult(ip, Value::Table(result));
    if (chosen && *chosen < numbers.size()) {
        const contacts::Contact& contact = all[numbers[*chosen].first];
        ip.TableSet(result, u"name", ip.MakeString(contact.card.name));
        ip.TableSet(result, u"number", ip.MakeString(contact.card.phones[numbers[*chosen].second].number));
        ip.TableSet(result, u"id", Value::Number(contact.id));
        if (platform::EncodedPictureSize(contact.card.photo)) ip.TableSet(result, u"picture", Value::Bool(true));
    }
    ip.PushValue(Value::Table(result));
    return 1;
}

// PoomBitmap(id, width, height): the contact's photo fitted into the box
// (DIP) keeping its proportions, on white; a handle of 0 without one.
uint32_t PoomBitmap(Interpreter& ip)
{
    if (!ip.CheckArgs(3, -1)) return 0;
    const double id = ip.ArgNumber(1);
    const double width = ip.ArgNumber(2);
    const double height = ip.ArgNumber(3);
    if (ip.ErrorPending()) return 0;
    Form* form = ThisForm(ip);
    if (form == nullptr) return 0;
    int32_t contactId, boxWidth, boxHeight;
    const bool whole = Interpreter::ValueToInt(Value::Number(id), contactId) &&
                       Interpreter::ValueToInt(Value::Number(width), boxWidth) &&
                       Interpreter::ValueToInt(Value::Number(height), boxHeight);
    const platform::Picture* picture = nullptr;
    const auto folder = ip.Paths().HostPath(u"\\Contacts");
    if (whole && folder) {
        const platform::Size box{DipToPx(boxWidth, form->DpiX()), DipToPx(boxHeight, form->DpiY())};
        if (const auto contact = contacts::FindContact(*folder, contactId)) {
            const auto natural = platform::EncodedPictureSize(contact->card.photo);
            const platform::Size fitted = natural ? FitKeepingAspect(*natural, box) : platform::Size{};
            if (fitted.width > 0 && fitted.height > 0 && int64_t{fitted.width} * fitted.height <= kMaxPicturePixels) {
                picture = KeptPicture(contactId, fitted, contact->card.photo);
            }
        }
    }
    ip.PushValue(Value::Binary(const_cast<platform::Picture*>(picture)));
    return 1;
}

} // namespace vellum::gui
