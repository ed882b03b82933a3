#include "app/macros/macro_exchange.h"

#include "app/core/text_encoding.h"
#include "app/device/xml_document.h"

#include <string>

namespace vantrel {
std::u16string DecimalText(int n) {
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

void WriteMacroItems(XmlDocument& doc, const std::vector<MacroEventRecord>& events) {
    for (const MacroEventRecord& e : events) {
        doc.AddElement(u"item");
        doc.SetAttribute(u"desc", e.desc);
        doc.SetAttribute(u"type", DecimalText(e.type));
        doc.SetAttribute(u"value", DecimalText(e.value));
        doc.SetAttribute(u"delay_time", DecimalText(e.delay_time));
    }
}

std::vector<MacroEventRecord> ReadMacroItems(XmlDocument& doc, int macroId) {
    std::vector<MacroEventRecord> events;
    while (doc.FindElement(u"item")) {
        MacroEventRecord e;
        e.macro_id = macroId;
        e.record_index = static_cast<int>(events.size());
        e.desc = doc.GetAttribute(u"desc");
        e.type = DecimalToInt(doc.GetAttribute(u"type"));
        e.value = DecimalToInt(doc.GetAttribute(u"value"));
        e.delay_time = DecimalToInt(doc.GetAttribute(u"delay_time"));
        events.push_back(std::move(e));
    }
    return events;
}

std::u16string ImportedName(const std::filesystem::path& file) {
    std::u16string name = Utf8ToWide(file.filename().string());
    return name.substr(0, name.find(u'.'));
}

bool ExportMacro(Store& store, int macroId, const std::filesystem::path& file) {
    MacroRecord macro;
    if (!store.GetMacro(macroId, &macro)) return false;
    std::vector<MacroEventRecord> events;
    store.ListMacroEvents(macroId, &events);

    XmlDocument doc;
    doc.SetText(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    doc.AddElement(u"macro");
    doc.EnterElement();
    doc.AddElement(u"macroinfo");
    doc.SetAttribute(u"name", macro.name);
    doc.SetAttribute(u"times", DecimalText(macro.play_times));
    doc.SetAttribute(u"type", DecimalText(macro.delay_type));
    doc.SetAttribute(u"delaytime", DecimalText(macro.delay_time));
    doc.AddElement(u"macroitems");
    doc.EnterElement();
    WriteMacroItems(doc, events);
    doc.LeaveElement();
    doc.LeaveElement();
    return doc.SaveFile(file);
}

int ImportMacro(Store& store, const std::filesystem::path& file) {
    XmlDocument doc;
    if (!doc.LoadFile(file) || !doc.FindElement(u"macro")) return 0;
    doc.EnterElement();
    MacroRecord macro;
    macro.name = ImportedName(file);
    macro.link_count = 0;
    if (doc.FindElement(u"macroinfo")) {
        macro.play_times = DecimalToInt(doc.GetAttribute(u"times"));
        macro.delay_type = DecimalToInt(doc.GetAttribute(u"type"));
        macro.delay_time = DecimalToInt(doc.GetAttribute(u"delaytime"));
    } else {
        macro.play_times = macro.delay_type = macro.delay_time = 0;
    }
    const int id = store.InsertMacroRecord(macro);
    if (id == 0) return 0;
    std::vector<MacroEventRecord> events;
    if (doc.FindElement(u"macroitems") && doc.EnterElement()) events = ReadMacroItems(doc, id);
    store.InsertMacroEvents(events);
    return id;
}

} // namespace vantrel
