#include "core/Settings.h"

#include "store/Recordset.h"

namespace core {

std::optional<QString> storedPassword(const store::Recordset& recordset)
{
    if (!recordset.isOpen()) return std::nullopt;
    if (recordset.recordCount() == 0) return kInitialPassword;
    if (recordset.eof() || recordset.bof()) return std::nullopt;
    const QVariant value = recordset.field(0);
    if (value.isNull()) return std::nullopt;
    return value.toString();
}

void ensureSettingsRow(store::Recordset& settings)
{
    settings.moveFirst();
    if (!settings.eof()) return;
    settings.addNew();
    settings.collect(0, kInitialPassword);
}

bool passwordMatches(const QString& typed, const std::optional<QString>& stored)
{
    return stored && typed == *stored;
}

} // namespace core
