#include "app/store/profile_exchange.h"

#include "app/core/text_encoding.h"
#include "app/device/xml_document.h"
#include "app/macros/macro_exchange.h"

#include <map>
#include <string>

namespace vantrel {
namespace {

constexpr int kMacroKind = 3;

int IntAttribute(const XmlDocument& doc, std::u16string_view name) {
    return DecimalToInt(doc.GetAttribute(name));
}

} // namespace

bool ExportProfile(Store& store, int profile, std::u16string_view displayName, const std::filesystem::path& file) {
    std::vector<KeyFunctionRecord> keys;
    store.ListKeyFunctions(profile, 0, &keys);

    XmlDocument doc;
    doc.SetText(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    doc.AddElement(u"profile");
    doc.EnterElement();
    doc.AddElement(u"profileinfo");
    doc.SetAttribute(u"name", displayName);
    doc.AddElement(u"keyitems");
    doc.EnterElement();
    std::vector<int> macroIds;
    for (const KeyFunctionRecord& k : keys) {
        doc.AddElement(u"item");
        doc.SetAttribute(u"fn_layer", DecimalText(k.fn_layer));
        doc.SetAttribute(u"key_code", DecimalText(k.key_code));
        doc.SetAttribute(u"layout_value", DecimalText(k.layout_value));
        doc.SetAttribute(u"layout_desc", k.layout_desc);
        doc.SetAttribute(u"macro_type", DecimalText(k.macro_type));
        doc.SetAttribute(u"macro_value", DecimalText(k.macro_value));
        doc.SetAttribute(u"macro_value2", DecimalText(k.macro_value2));
        doc.SetAttribute(u"macro_value3", DecimalText(k.macro_value3));
        doc.SetAttribute(u"macro_desc", k.macro_desc);
        if (k.macro_type == kMacroKind) macroIds.push_back(k.macro_value);
    }
    doc.LeaveElement();
    for (int id : macroIds) { // a macro used by two keys is written twice
        MacroRecord macro;
        if (!store.GetMacro(id, &macro)) continue;
        std::vector<MacroEventRecord> events;
        store.ListMacroEvents(id, &events);
        doc.AddElement(u"macroinfo");
        doc.SetAttribute(u"name", macro.name);
        doc.SetAttribute(u"macro_id", DecimalText(macro.macro_id));
        doc.SetAttribute(u"times", DecimalText(macro.play_times));
        doc.SetAttribute(u"type", DecimalText(macro.delay_type));
        doc.SetAttribute(u"delaytime", DecimalText(macro.delay_time));
        doc.EnterElement();
        doc.AddElement(u"macroitems");
        doc.EnterElement();
        WriteMacroItems(doc, events);
        doc.LeaveElement();
        doc.LeaveElement();
    }
    doc.LeaveElement();
    return doc.SaveFile(file);
}

ProfileImport ImportProfile(Store& store, const std::filesystem::path& file) {
    ProfileImport result;
    XmlDocument doc;
    if (!doc.LoadFile(file) || !doc.FindElement(u"profile")) return result;

    // First pass: the macros.
    std::map<int, int> newIds; // file macro_id -> stored macro_id
    std::vector<MacroRecord> stored;
    store.ListMacros(&stored);
    doc.EnterElement();
    while (doc.FindElement(u"macroinfo")) {
        MacroRecord macro;
        macro.name = doc.GetAttribute(u"name");
        const int fileId = IntAttribute(doc, u"macro_id");
        bool present = false;
        for (const MacroRecord& m : stored)
            if (m.name == macro.name && m.macro_id == fileId) present = true;
        if (present) continue;
        macro.play_times = IntAttribute(doc, u"times");
        macro.delay_type = IntAttribute(doc, u"type");
        macro.delay_time = IntAttribute(doc, u"delaytime");
        macro.link_count = 0;
        const int id = store.InsertMacroRecord(macro);
        newIds[fileId] = id;
        if (id == 0) continue;
        result.importedMacros.push_back(id);
        std::vector<MacroEventRecord> events;
        doc.EnterElement();
        if (doc.FindElement(u"macroitems") && doc.EnterElement()) {
            events = ReadMacroItems(doc, id);
            doc.LeaveElement();
        }
        doc.LeaveElement();
        store.InsertMacroEvents(events);
    }

    // Second pass: the profile and its key functions.
    const int profile = store.InsertProfile(ImportedName(file), u"");
    if (profile == 0) return result;
    result.profile = profile;
    XmlDocument again;
    if (!again.LoadFile(file) || !again.FindElement(u"profile")) return result;
    again.EnterElement();
    if (again.FindElement(u"keyitems") && again.EnterElement()) {
        while (again.FindElement(u"item")) {
            KeyFunctionRecord k;
            k.profile = profile;
            k.fn_layer = IntAttribute(again, u"fn_layer");
            k.key_code = IntAttribute(again, u"key_code");
            k.layout_value = IntAttribute(again, u"layout_value");
            k.layout_desc = again.GetAttribute(u"layout_desc");
            k.macro_type = IntAttribute(again, u"macro_type");
            k.macro_value = IntAttribute(again, u"macro_value");
            k.macro_value2 = IntAttribute(again, u"macro_value2");
            k.macro_value3 = IntAttribute(again, u"macro_value3");
            k.macro_desc = again.GetAttribute(u"macro_desc");
            if (k.macro_type == kMacroKind) {
                auto renamed = newIds.find(k.macro_value);
                if (renamed != newIds.end()) k.macro_value = renamed->second;
            }
            store.SaveKeyFunction(k);
        }
    }
    return result;
}

} // namespace vantrel
