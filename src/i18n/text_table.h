#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>

#include "i18n/text_ids.h"

// The texts of the language selected last, one per identifier. Empty until a
// language is selected; selecting an unknown code changes nothing.
class TextTable {
  public:
    // The six language codes in the order in which a selection compares them.
    static const QStringList& selectionOrder();
    // The codes in the order of the language list.
    static const QStringList& listOrder();

    // Selects the texts of a language code (exact, case-sensitive). Returns
    // false, with every text left as it was, when the code is not one of six.
    bool Select_Texts(const QString& code);

    const QString& operator[](TextId id) const { return texts_[static_cast<size_t>(id)]; }

    // The built-in table: for each code, the texts in identifier order.
    static const QHash<QString, QStringList>& languages();

  private:
    std::array<QString, static_cast<size_t>(TextId::Count)> texts_;
};
