#include "textout/message_catalog.h"

void AddStandardMessages(MessageCatalog& catalog) {
    struct Entry {
        int id;
        const char* english;
        const char* japanese;
    };
    static const Entry kEntries[] = {
        {0, "Cannot overwrite this file because it is already in use.",
         "ファイルは現在使用中です。上書きできません。"},
        {2,
         "There is a problem with the connection to the TQ-550.\n\nThe following are possible causes.\n- The "
         "TQ-550 is not powered up.\n- The TQ-550 was switched off.\n- No connection has been made with the "
         "TQ-550.\n- The connection or setup is incorrect.\n\nTry the following.\n1. Check the connection "
         "and setup.\n2. Quit all applications associated with the TQ-550.\n3. Cycle the power to the "
         "TQ-550.\n4. Restart the application(s).\n",
         "TQ-550 との接続に不具合が発生しました。\n\n以下の原因が考えられます。\n- TQ-550 "
         "の電源が入っていない\n- TQ-550 の電源が一旦切られた\n- TQ-550 と接続されていない\n- "
         "接続/設定が正しくない\n\n以下の操作をお試しください。\n1. 接続/設定を確認する\n2. TQ-550 "
         "に関するアプリケーションを一旦全て終了する\n3. TQ-550 の電源を入れなおす\n4. "
         "アプリケーションを再起動する\n"},
        {3, "Cannot read files of this type.", "このファイルの形式を認識できません。"},
        {4, "This file could not be loaded.", "ファイルが読み込めませんでした。"},
        {5, "This file could not be saved.", "ファイルが保存できませんでした。"},
        {7, "MIDI devices are disconnected.", "MIDI 機器との接続が切断されました。"},
        {8, "MIDI devices are reconnected.", "MIDI 機器と再接続しました。"},
        {9, "Manual/TQ-550LibrarianManualE.pdf", "Manual/TQ-550LibrarianManualJ.pdf"},
        {10, "Don't show this dialog again.", "次からこのダイアログを表示しない。"},
        {12,
         "MIDI devices aren't set up correctly.\nMake sure the settings in the \"Set Up MIDI Devices\" "
         "dialog box.",
         "MIDI機器が正しく設定されていません。\n「設定」－「MIDI機器の設定」を確認してください。"},
        {13, "Now, getting data.", "データを取得中です。"},
        {14, "Are you sure you want to read the SMF and overwrite the main window?",
         "SMF をインポートし、メイン・ウィンドウを上書きします。よろしいですか？"},
        {15, "Are you sure you want to load the data from the temporary area of the TQ-550?",
         "TQ-550 の Temporary Area からデータを取得します。よろしいですか？"},
        {16, "Are you sure you want to load the data from the TQ-550?",
         "TQ-550 からデータを取得します。よろしいですか？"},
        {17, "Now, synchronizing data.", "データ同期中です。"},
        {18, "Undefined error.", "未定義のエラーです。"},
        {19, "Are you sure you want to overwrite the temporary area of the TQ-550?",
         "TQ-550 の Temporary Area を書き換えます。よろしいですか？"},
        {20, "Are you sure you want to overwrite the data in the TQ-550?",
         "TQ-550 のデータを書き換えます。よろしいですか？"},
        {21, "This file holds no TQ-550 patch.", "このファイルには TQ-550 のパッチがありません。"},
        {22, "This file holds a System Exclusive message that is cut off.",
         "このファイルには途中で切れているシステム・エクスクルーシブ・メッセージがあります。"},
        {23, "This file holds a TQ-550 data set with a wrong checksum.",
         "このファイルにはチェックサムが正しくない TQ-550 のデータ・セットがあります。"},
        {24, "A SysEx file holds at most 200 patches.",
         "SysEx ファイルに書き出せるパッチは 200 個までです。"},
        {25, "The data read from the TQ-550 could not be kept in the device history.",
         "TQ-550 から読み込んだデータを履歴に保存できませんでした。"},
        {26, "This file does not hold all the data of patch %1.",
         "このファイルにはパッチ %1 のデータが一部しかありません。"},
        {27, "The collection file is damaged and cannot be used.",
         "コレクションのファイルが壊れているため、使用できません。"},
        {28, "The collection file is locked by another program.",
         "コレクションのファイルは他のプログラムがロックしています。"},
        {29, "The collection was made by a newer version of the program. It is opened read-only.",
         "コレクションは新しいバージョンのプログラムで作成されています。読み取り専用で開きます。"},
        {30, "The collection file could not be opened.", "コレクションのファイルを開けませんでした。"},
        {31, "This program was built without SQLite: it keeps no collection.",
         "このプログラムは SQLite なしでビルドされているため、コレクションを扱えません。"},
        {32, "The collection could not be changed.", "コレクションを変更できませんでした。"},
    };
    catalog.Clear();
    for (const Entry& entry : kEntries) {
        catalog.Add(LANGUAGE_ENGLISH, entry.id, entry.english);
        catalog.Add(LANGUAGE_JAPANESE, entry.id, entry.japanese);
    }
}
