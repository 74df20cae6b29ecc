#include "textout/message_catalog.h"

#include <gtest/gtest.h>

TEST(MessageCatalog, HoldsBothLanguagesAndAnswersUnusedIdsWithEmptyText) {
    MessageCatalog catalog;
    AddStandardMessages(catalog);
    EXPECT_EQ(catalog.Text(MSG_UNKNOWN_FILE_TYPE), "Cannot read files of this type.");
    EXPECT_EQ(catalog.Text(MSG_SAVE_FAILED), "This file could not be saved.");
    EXPECT_EQ(catalog.Text(6), "");
    EXPECT_EQ(catalog.Text(1), "");
    EXPECT_EQ(catalog.Text(11), "");

    const std::string connection = catalog.Text(MSG_CONNECTION_PROBLEM);
    EXPECT_EQ(connection.rfind("There is a problem with the connection to the TQ-550.\n\n", 0), 0u);
    EXPECT_EQ(connection.back(), '\n');
    EXPECT_EQ(catalog.Text(MSG_NOT_SET_UP),
              "MIDI devices aren't set up correctly.\nMake sure the settings in the \"Set Up MIDI Devices\" "
              "dialog box.");

    catalog.SetLanguage(LANGUAGE_JAPANESE);
    EXPECT_EQ(catalog.Text(MSG_MANUAL_PATH), "Manual/TQ-550LibrarianManualJ.pdf");
    EXPECT_EQ(catalog.Text(MSG_LOAD_FAILED), "ファイルが読み込めませんでした。");
    EXPECT_EQ(catalog.Text(6), "");

    // Every id used by the program exists in both languages.
    for (int id : {0,  2,  3,  4,  5,  7,  8,  9,  10, 12, 13, 14, 15, 16, 17,
                   18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32}) {
        catalog.SetLanguage(LANGUAGE_ENGLISH);
        EXPECT_FALSE(catalog.Text(id).empty()) << id;
        catalog.SetLanguage(LANGUAGE_JAPANESE);
        EXPECT_FALSE(catalog.Text(id).empty()) << id;
    }
}

TEST(MessageCatalog, AddOverwritesAndClearEmptiesBothLanguages) {
    MessageCatalog catalog;
    catalog.Add(LANGUAGE_ENGLISH, 3, "old");
    catalog.Add(LANGUAGE_ENGLISH, 3, "new");
    catalog.Add(LANGUAGE_JAPANESE, 3, "ja");
    EXPECT_EQ(catalog.Text(3), "new");
    catalog.Clear();
    EXPECT_EQ(catalog.Text(3), "");
    catalog.SetLanguage(LANGUAGE_JAPANESE);
    EXPECT_EQ(catalog.Text(3), "");
}
