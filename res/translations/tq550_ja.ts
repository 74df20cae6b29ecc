<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>CApp</name>
    <message>
        <source>TQ-550 Librarian is already running but does not respond.
Wait until it responds, or end it, and try again.</source>
        <translation>TQ-550 Librarian はすでに起動していますが、応答しません。
応答するまで待つか、終了してから、もう一度お試しください。</translation>
    </message>
    <message>
        <source>%1 (recovered)</source>
        <translation>%1 (復元)</translation>
    </message>
    <message>
        <source>TQ-MAX Librarian</source>
        <translation>TQ-MAX Librarian</translation>
    </message>
    <message>
        <source>Import TQ-MAX Librarian File</source>
        <translation>TQ-MAX ライブラリアン ファイルのインポート</translation>
    </message>
    <message>
        <source>TQ-4/TQ-MAX Bulk Dump</source>
        <translation>TQ-4/TQ-MAX バルク ダンプ</translation>
    </message>
    <message>
        <source>Import TQ-4/TQ-MAX Bulk Dump File</source>
        <translation>TQ-4/TQ-MAX バルク ダンプ ファイルのインポート</translation>
    </message>
    <message>
        <source>TQ-2 Bulk Dump</source>
        <translation>TQ-2 バルク ダンプ</translation>
    </message>
    <message>
        <source>Import TQ-2 Bulk Dump File</source>
        <translation>TQ-2 バルク ダンプ ファイルのインポート</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>すべてのファイル</translation>
    </message>
    <message>
        <source>The Main window (its patches open as a new library)</source>
        <translation>メイン ウィンドウ (パッチは新しいライブラリで開きます)</translation>
    </message>
    <message>
        <source>%1 (in %2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>A new library</source>
        <translation>新しいライブラリ</translation>
    </message>
    <message>
        <source>The TQ-550 Librarian ended before these windows were saved:

%1

Open them again? &quot;No&quot; discards them.</source>
        <translation>TQ-550 Librarian は、次のウィンドウを保存する前に終了しました:

%1

もう一度開きますか? [いいえ] を選ぶと破棄されます。</translation>
    </message>
</context>
<context>
    <name>CCompareWindow</name>
    <message>
        <source>Patch 1</source>
        <translation>パッチ 1</translation>
    </message>
    <message>
        <source>Patch 2</source>
        <translation>パッチ 2</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Memo %1</source>
        <translation>メモ %1</translation>
    </message>
    <message>
        <source>same</source>
        <translation>同じ</translation>
    </message>
    <message>
        <source>different</source>
        <translation>異なる</translation>
    </message>
    <message>
        <source>The patches are identical.</source>
        <translation>パッチは同一です。</translation>
    </message>
    <message>
        <source>Data: the same</source>
        <translation>データ: 同じ</translation>
    </message>
    <message>
        <source>Differing data bytes: %1; runs: %2</source>
        <translation>異なるデータ: %1 バイト、%2 か所</translation>
    </message>
    <message>
        <source>Address %1 to %2, chunk %3, length %4</source>
        <translation>アドレス %1 から %2、チャンク %3、長さ %4</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>コピー(&amp;C)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>比較</translation>
    </message>
</context>
<context>
    <name>CDeviceHistoryDialog</name>
    <message>
        <source>Device History</source>
        <translation>機器の履歴</translation>
    </message>
    <message>
        <source>Read on</source>
        <translation>読み込んだ日時</translation>
    </message>
    <message>
        <source>Patches that differ from the Main window</source>
        <translation>メイン ウィンドウと異なるパッチ</translation>
    </message>
    <message>
        <source>No read has been kept yet. Every Read All that completes is kept here.</source>
        <translation>まだ何も保存されていません。全データの読み込みが完了するたびに、ここに保存されます。</translation>
    </message>
    <message>
        <source>Open shows the chosen read in a library window. To put it back into the TQ-550, copy its patches into the Main window and write them.</source>
        <translation>[開く] を押すと、選んだ読み込み結果がライブラリ ウィンドウに開きます。TQ-550 に戻すには、そのパッチを メイン ウィンドウにコピーしてから書き出します。</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>開く(&amp;O)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>(cannot be read)</source>
        <translation>(読み込めません)</translation>
    </message>
    <message>
        <source>Device History %1</source>
        <translation>機器の履歴 %1</translation>
    </message>
</context>
<context>
    <name>CDocMan</name>
    <message>
        <source>TQ-550 Librarian</source>
        <translation>TQ-550 Librarian</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>すべてのファイル</translation>
    </message>
    <message>
        <source>Standard MIDI Files</source>
        <translation>スタンダード MIDI ファイル</translation>
    </message>
    <message>
        <source>Import SMF</source>
        <translation>SMF をインポート</translation>
    </message>
    <message>
        <source>Export SMF</source>
        <translation>SMF をエクスポート</translation>
    </message>
</context>
<context>
    <name>CImageView</name>
    <message>
        <source>Read</source>
        <translation>読み込み</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>書き出し</translation>
    </message>
    <message>
        <source>All</source>
        <translation>全て</translation>
    </message>
    <message>
        <source>Selected</source>
        <translation>選択</translation>
    </message>
    <message>
        <source>&amp;Verify after writing</source>
        <translation>書き出し後に照合する(&amp;V)</translation>
    </message>
    <message>
        <source>The TQ-550 holds every patch of the Main window already: nothing was written.</source>
        <translation>TQ-550 は メイン ウィンドウのすべてのパッチを既に保持しています。何も書き出しませんでした。</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>&amp;New</source>
        <translation>新規作成(&amp;N)</translation>
    </message>
    <message>
        <source>Create a new library
New</source>
        <translation>ライブラリを新規に作成します
新規作成</translation>
    </message>
    <message>
        <source>&amp;Duplicate</source>
        <translation>複製(&amp;D)</translation>
    </message>
    <message>
        <source>Duplicate data
Duplicate</source>
        <translation>データを複製します
複製</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>開く(&amp;O)...</translation>
    </message>
    <message>
        <source>Open an existing library
Open</source>
        <translation>既存のライブラリを開きます
開く</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>閉じる(&amp;C)</translation>
    </message>
    <message>
        <source>Close the active library
Close</source>
        <translation>作業中のライブラリを閉じます
閉じる</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <source>Save the active library
Save</source>
        <translation>作業中のライブラリを保存します
保存</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>名前を付けて保存(&amp;A)...</translation>
    </message>
    <message>
        <source>Save the active library with a new name
Save As</source>
        <translation>作業中のライブラリを新しい名前で保存します
名前を付けて保存</translation>
    </message>
    <message>
        <source>&amp;Import SMF...</source>
        <translation>SMF をインポート(&amp;M)...</translation>
    </message>
    <message>
        <source>Import SMF
Import SMF</source>
        <translation>SMF をインポートします
SMF をインポート</translation>
    </message>
    <message>
        <source>&amp;All Data</source>
        <translation>全データ(&amp;A)</translation>
    </message>
    <message>
        <source>Export all data as a Standard MIDI File
Export All</source>
        <translation>全データをスタンダード MIDI ファイルとしてエクスポートします
全データをエクスポート</translation>
    </message>
    <message>
        <source>Selected &amp;Data</source>
        <translation>選択したデータ(&amp;D)</translation>
    </message>
    <message>
        <source>Export the selected data as a Standard MIDI File
Export Selected</source>
        <translation>選択したデータをスタンダード MIDI ファイルとしてエクスポートします
選択したデータをエクスポート</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>終了(&amp;X)</translation>
    </message>
    <message>
        <source>Quit the application; prompts to save libraries
Exit</source>
        <translation>アプリケーションを終了します。ライブラリを保存するかどうか確認します
終了</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>元に戻す(&amp;U)</translation>
    </message>
    <message>
        <source>Undo
Undo</source>
        <translation>直前の操作を元に戻します
元に戻す</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>切り取り(&amp;T)</translation>
    </message>
    <message>
        <source>Cut the selection and copy to clipboard
Cut</source>
        <translation>選択範囲を切り取ってクリップボードにコピーします
切り取り</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>コピー(&amp;C)</translation>
    </message>
    <message>
        <source>Copy to clipboard
Copy</source>
        <translation>選択範囲をクリップボードにコピーします
コピー</translation>
    </message>
    <message>
        <source>I&amp;nsert</source>
        <translation>挿入(&amp;V)</translation>
    </message>
    <message>
        <source>Insert clipboard contents at the selection
Insert</source>
        <translation>クリップボードの内容を選択位置に挿入します
挿入</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>置き換え(&amp;R)</translation>
    </message>
    <message>
        <source>Replace the selection with clipboard contents
Replace</source>
        <translation>選択範囲をクリップボードの内容で置き換えます
置き換え</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>削除(&amp;D)</translation>
    </message>
    <message>
        <source>Delete the selection
Delete</source>
        <translation>選択範囲を削除します
削除</translation>
    </message>
    <message>
        <source>&amp;Exchange</source>
        <translation>入れ換え(&amp;E)</translation>
    </message>
    <message>
        <source>Exchange
Exchange</source>
        <translation>選択した 2 つのデータを入れ換えます
入れ換え</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>すべて選択(&amp;A)</translation>
    </message>
    <message>
        <source>Select all
Select All</source>
        <translation>すべてのデータを選択します
すべて選択</translation>
    </message>
    <message>
        <source>&amp;Find...</source>
        <translation>検索(&amp;F)...</translation>
    </message>
    <message>
        <source>Select the patches whose name or memo holds a text
Find</source>
        <translation>名前かメモに文字列を含むパッチを選択します
検索</translation>
    </message>
    <message>
        <source>&amp;Tool Bar</source>
        <translation>ツールバー(&amp;T)</translation>
    </message>
    <message>
        <source>Show or hide the tool bar
Toggle Tool Bar</source>
        <translation>ツールバーの表示/非表示を切り替えます
ツールバーの表示切り替え</translation>
    </message>
    <message>
        <source>&amp;Status Bar</source>
        <translation>ステータスバー(&amp;S)</translation>
    </message>
    <message>
        <source>Show or hide the status bar
Toggle Status Bar</source>
        <translation>ステータスバーの表示/非表示を切り替えます
ステータスバーの表示切り替え</translation>
    </message>
    <message>
        <source>&amp;Read All Data</source>
        <translation>全データを読み込み(&amp;B)</translation>
    </message>
    <message>
        <source>Read all data
Read All</source>
        <translation>全データを読み込みます
全データを読み込み</translation>
    </message>
    <message>
        <source>Read &amp;Selected Data</source>
        <translation>選択したデータを読み込み(&amp;R)</translation>
    </message>
    <message>
        <source>Read selected data
Read Selected</source>
        <translation>選択したデータを読み込みます
選択したデータを読み込み</translation>
    </message>
    <message>
        <source>&amp;Write All Data</source>
        <translation>全データを書き出し(&amp;A)</translation>
    </message>
    <message>
        <source>Write all data
Write All</source>
        <translation>全データを書き出します
全データを書き出し</translation>
    </message>
    <message>
        <source>Write Selected &amp;Data</source>
        <translation>選択したデータを書き出し(&amp;S)</translation>
    </message>
    <message>
        <source>Write selected data
Write Selected</source>
        <translation>選択したデータを書き出します
選択したデータを書き出し</translation>
    </message>
    <message>
        <source>Set Up &amp;MIDI Devices...</source>
        <translation>MIDI 機器の設定(&amp;M)...</translation>
    </message>
    <message>
        <source>Set up the MIDI devices
MIDI Devices</source>
        <translation>MIDI 機器を設定します
MIDI 機器の設定</translation>
    </message>
    <message>
        <source>Set Up &amp;Font...</source>
        <translation>フォントの設定(&amp;F)...</translation>
    </message>
    <message>
        <source>Set up the font of the lists
Font</source>
        <translation>一覧のフォントを設定します
フォントの設定</translation>
    </message>
    <message>
        <source>Set Up &amp;Grid...</source>
        <translation>グリッドの設定(&amp;G)...</translation>
    </message>
    <message>
        <source>Set up the grid lines of the lists
Grid</source>
        <translation>一覧のグリッド線を設定します
グリッドの設定</translation>
    </message>
    <message>
        <source>Maximize &amp;Height</source>
        <translation>高さを最大化(&amp;H)</translation>
    </message>
    <message>
        <source>Resize to Full Height
Maximize Height</source>
        <translation>高さを最大に変更
高さを最大化</translation>
    </message>
    <message>
        <source>Maximize &amp;Width</source>
        <translation>幅を最大化(&amp;I)</translation>
    </message>
    <message>
        <source>Resize to Full Width
Maximize Width</source>
        <translation>幅を最大に変更
幅を最大化</translation>
    </message>
    <message>
        <source>&amp;Save Current Position</source>
        <translation>現在位置を保存(&amp;S)</translation>
    </message>
    <message>
        <source>Save Current Window Position
Save Position</source>
        <translation>現在のウィンドウ位置を保存
現在位置を保存</translation>
    </message>
    <message>
        <source>Window &amp;List...</source>
        <translation>ウィンドウの一覧(&amp;L)...</translation>
    </message>
    <message>
        <source>List all windows
Window List</source>
        <translation>すべてのウィンドウを一覧表示します
ウィンドウの一覧</translation>
    </message>
    <message>
        <source>&amp;Cascade Windows</source>
        <translation>重ねて表示(&amp;C)</translation>
    </message>
    <message>
        <source>Arrange windows so they overlap
Cascade Windows</source>
        <translation>ウィンドウを重ねて表示します
重ねて表示</translation>
    </message>
    <message>
        <source>Tile Windows H&amp;orizontally</source>
        <translation>上下に並べて表示(&amp;T)</translation>
    </message>
    <message>
        <source>Arrange windows one above the other
Tile Horizontally</source>
        <translation>ウィンドウを上下に並べて表示します
上下に並べて表示</translation>
    </message>
    <message>
        <source>Tile Windows &amp;Vertically</source>
        <translation>左右に並べて表示(&amp;V)</translation>
    </message>
    <message>
        <source>Arrange windows side by side
Tile Vertically</source>
        <translation>ウィンドウを左右に並べて表示します
左右に並べて表示</translation>
    </message>
    <message>
        <source>&amp;Arrange Icons</source>
        <translation>アイコンの整列(&amp;A)</translation>
    </message>
    <message>
        <source>Arrange the icons of minimised windows
Arrange Icons</source>
        <translation>最小化したウィンドウのアイコンを整列します
アイコンの整列</translation>
    </message>
    <message>
        <source>TQ-550 Librarian &amp;Manual</source>
        <translation>TQ-550 Librarian の使いかた(&amp;M)</translation>
    </message>
    <message>
        <source>Open the manual
Manual</source>
        <translation>取扱説明書を開きます
使いかた</translation>
    </message>
    <message>
        <source>&amp;About TQ-550 Librarian...</source>
        <translation>TQ-550 Librarian のバージョン情報(&amp;A)...</translation>
    </message>
    <message>
        <source>Display program information, version number and copyright
About</source>
        <translation>プログラム情報、バージョン、著作権を表示します
バージョン情報</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>レディ</translation>
    </message>
    <message>
        <source>Move to &amp;Top</source>
        <translation>最前面に表示(&amp;G)</translation>
    </message>
    <message>
        <source>Recent File</source>
        <translation>最近使ったファイル</translation>
    </message>
    <message>
        <source>Open this document</source>
        <translation>このファイルを開きます</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>Ex&amp;port SMF</source>
        <translation>SMF をエクスポート(&amp;P)</translation>
    </message>
    <message>
        <source>Impor&amp;t</source>
        <translation>インポート(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>表示(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;MIDI</source>
        <translation>MIDI(&amp;M)</translation>
    </message>
    <message>
        <source>&amp;Setup</source>
        <translation>設定(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>ウィンドウ(&amp;W)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>New(&amp;N)</source>
        <translation>新規作成(&amp;N)</translation>
    </message>
    <message>
        <source>Open(&amp;O)...</source>
        <translation>開く(&amp;O)...</translation>
    </message>
    <message>
        <source>Exit(&amp;X)</source>
        <translation>終了(&amp;X)</translation>
    </message>
    <message>
        <source>Tool Bar</source>
        <translation>ツールバー</translation>
    </message>
    <message>
        <source>Import TQ-MAX &amp;Librarian File...</source>
        <translation>TQ-MAX ライブラリアン ファイルをインポート(&amp;L)...</translation>
    </message>
    <message>
        <source>Import TQ-MAX Librarian file
Import TQ-MAX Librarian File</source>
        <translation>TQ-MAX ライブラリアン ファイルをインポートします
TQ-MAX ライブラリアン ファイルをインポート</translation>
    </message>
    <message>
        <source>Import TQ-4/TQ-MAX &amp;Bulk Dump File...</source>
        <translation>TQ-4/TQ-MAX バルク ダンプ ファイルをインポート(&amp;B)...</translation>
    </message>
    <message>
        <source>Import TQ-4/TQ-MAX bulk dump file
Import TQ-4/TQ-MAX Bulk Dump File</source>
        <translation>TQ-4/TQ-MAX バルク ダンプ ファイルをインポートします
TQ-4/TQ-MAX バルク ダンプ ファイルをインポート</translation>
    </message>
    <message>
        <source>Import TQ-&amp;2 Bulk Dump File...</source>
        <translation>TQ-2 バルク ダンプ ファイルをインポート(&amp;2)...</translation>
    </message>
    <message>
        <source>Import TQ-2 bulk dump file
Import TQ-2 Bulk Dump File</source>
        <translation>TQ-2 バルク ダンプ ファイルをインポートします
TQ-2 バルク ダンプ ファイルをインポート</translation>
    </message>
    <message>
        <source>&amp;SysEx File...</source>
        <translation>SysEx ファイル(&amp;S)...</translation>
    </message>
    <message>
        <source>Open a file of System Exclusive messages (.syx) as a new library
Import SysEx File</source>
        <translation>システム エクスクルーシブ メッセージのファイル (.syx) を新しいライブラリとして開きます
SysEx ファイルのインポート</translation>
    </message>
    <message>
        <source>Export all data as a SysEx file
Export All as SysEx</source>
        <translation>全データを SysEx ファイルとしてエクスポートします
全データを SysEx でエクスポート</translation>
    </message>
    <message>
        <source>Export the selected data as a SysEx file
Export Selected as SysEx</source>
        <translation>選択したデータを SysEx ファイルとしてエクスポートします
選択したデータを SysEx でエクスポート</translation>
    </message>
    <message>
        <source>Device &amp;History...</source>
        <translation>機器の履歴(&amp;H)...</translation>
    </message>
    <message>
        <source>Open a kept read of the TQ-550 in a library window
Device History</source>
        <translation>保存してある TQ-550 の読み込み結果をライブラリ ウィンドウで開きます
機器の履歴</translation>
    </message>
    <message>
        <source>Select Du&amp;plicates</source>
        <translation>重複を選択(&amp;P)</translation>
    </message>
    <message>
        <source>Select every patch whose data repeat those of a patch above it
Select Duplicates</source>
        <translation>上にあるパッチとデータが同じパッチをすべて選択します
重複を選択</translation>
    </message>
    <message>
        <source>Co&amp;mpare</source>
        <translation>比較(&amp;M)</translation>
    </message>
    <message>
        <source>Compare the two selected patches, or the selected one with the clipboard
Compare</source>
        <translation>選択した 2 つのパッチ、または選択したパッチとクリップボードのパッチを比較します
比較</translation>
    </message>
    <message>
        <source>Write &amp;Changed</source>
        <translation>変更分を書き出し(&amp;C)</translation>
    </message>
    <message>
        <source>Write the patches the TQ-550 is not known to hold
Write Changed</source>
        <translation>TQ-550 が保持しているか分からないパッチだけを書き出します
変更分を書き出し</translation>
    </message>
    <message>
        <source>Export S&amp;ysEx File</source>
        <translation>SysEx ファイルをエクスポート(&amp;Y)</translation>
    </message>
</context>
<context>
    <name>CMidiSetupDialog</name>
    <message>
        <source>Set Up MIDI Devices</source>
        <translation>MIDI 機器の設定</translation>
    </message>
    <message>
        <source>&amp;Input:</source>
        <translation>入力(&amp;I):</translation>
    </message>
    <message>
        <source>&amp;Output:</source>
        <translation>出力(&amp;O):</translation>
    </message>
    <message>
        <source>&amp;Device ID</source>
        <translation>デバイス ID(&amp;D)</translation>
    </message>
    <message>
        <source>Through</source>
        <translation>スルー</translation>
    </message>
    <message>
        <source>I&amp;nput:</source>
        <translation>入力(&amp;N):</translation>
    </message>
    <message>
        <source>O&amp;utput:</source>
        <translation>出力(&amp;U):</translation>
    </message>
</context>
<context>
    <name>CParamView</name>
    <message>
        <source>Temporary
Read/Write</source>
        <translation>Temporary
読込/書出</translation>
    </message>
    <message>
        <source>Write this patch to the temporary area of the TQ-550</source>
        <translation>このパッチを TQ-550 の Temporary Area に書き出します</translation>
    </message>
    <message>
        <source>Read the temporary area of the TQ-550 into this patch</source>
        <translation>TQ-550 の Temporary Area をこのパッチに読み込みます</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>検索</translation>
    </message>
    <message>
        <source>Select the patches whose name or memo holds:</source>
        <translation>名前かメモに次の文字列を含むパッチを選択:</translation>
    </message>
    <message>
        <source>No patch holds &quot;%1&quot;.</source>
        <translation>「%1」を含むパッチはありません。</translation>
    </message>
    <message>
        <source>%1 in %2</source>
        <translation>%2 の %1</translation>
    </message>
    <message>
        <source>the first patch of the clipboard</source>
        <translation>クリップボードの最初のパッチ</translation>
    </message>
    <message>
        <source>No duplicates found.</source>
        <translation>重複するパッチはありません。</translation>
    </message>
    <message>
        <source>1 duplicate found and selected.</source>
        <translation>重複するパッチが 1 個見つかり、選択しました。</translation>
    </message>
    <message>
        <source>%1 duplicates found and selected.</source>
        <translation>重複するパッチが %1 個見つかり、選択しました。</translation>
    </message>
</context>
<context>
    <name>CProgressBar</name>
    <message>
        <source>User Patch %1</source>
        <translation>ユーザー パッチ %1</translation>
    </message>
    <message>
        <source>Temporary Patch</source>
        <translation>テンポラリ パッチ</translation>
    </message>
</context>
<context>
    <name>CSetGridDlg</name>
    <message>
        <source>Grid &amp;OFF</source>
        <translation>設定しない(&amp;O)</translation>
    </message>
    <message>
        <source>Grid O&amp;N</source>
        <translation>設定する(&amp;N)</translation>
    </message>
    <message>
        <source>Set Up Grid</source>
        <translation>グリッドの設定</translation>
    </message>
</context>
<context>
    <name>CSyxFiles</name>
    <message>
        <source>SysEx Files</source>
        <translation>SysEx ファイル</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>すべてのファイル</translation>
    </message>
    <message>
        <source>Import SysEx File</source>
        <translation>SysEx ファイルのインポート</translation>
    </message>
    <message>
        <source>Export SysEx File</source>
        <translation>SysEx ファイルのエクスポート</translation>
    </message>
</context>
<context>
    <name>GP::CDocManager</name>
    <message>
        <source>Open</source>
        <translation>開く</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>すべてのファイル (*)</translation>
    </message>
    <message>
        <source>Recent File</source>
        <translation>最近使ったファイル</translation>
    </message>
</context>
<context>
    <name>GP::CDocTemplate</name>
    <message>
        <source>Untitled</source>
        <translation>無題</translation>
    </message>
</context>
<context>
    <name>GP::CDocument</name>
    <message>
        <source>Untitled</source>
        <translation>無題</translation>
    </message>
    <message>
        <source>Save changes to %1?</source>
        <translation>%1 への変更を保存しますか?</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>名前を付けて保存</translation>
    </message>
    <message>
        <source>Save a Copy As</source>
        <translation>コピーを名前を付けて保存</translation>
    </message>
</context>
<context>
    <name>GP::CReplaceStringDlg</name>
    <message>
        <source>Replace String</source>
        <translation>文字列の置換</translation>
    </message>
    <message>
        <source>Search String(&amp;S):</source>
        <translation>検索する文字列(&amp;S):</translation>
    </message>
    <message>
        <source>&amp;Replace String(&amp;R):</source>
        <translation>置換後の文字列(&amp;R):</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>置換</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
</context>
<context>
    <name>GP::CWindowListDlg</name>
    <message>
        <source>Window List</source>
        <translation>ウィンドウの一覧</translation>
    </message>
    <message>
        <source>Open(&amp;O)</source>
        <translation>開く(&amp;O)</translation>
    </message>
    <message>
        <source>Close(&amp;C)</source>
        <translation>閉じる(&amp;C)</translation>
    </message>
    <message>
        <source>Leave(&amp;L)</source>
        <translation>残す(&amp;L)</translation>
    </message>
    <message>
        <source>TileH(&amp;T)</source>
        <translation>上下に並べる(&amp;T)</translation>
    </message>
    <message>
        <source>TileV(&amp;V)</source>
        <translation>左右に並べる(&amp;V)</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完了</translation>
    </message>
    <message>
        <source>Help(&amp;H)</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
</context>
<context>
    <name>UL::CAboutDialogA</name>
    <message>
        <source>About %1</source>
        <translation>%1 のバージョン情報</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>バージョン %1</translation>
    </message>
</context>
<context>
    <name>CRecoveryStore</name>
    <message>
        <source>Unsaved changes cannot be kept against a crash: the disk is full or write-protected.</source>
        <translation>未保存の変更をクラッシュに備えて保存できません。ディスクがいっぱいか、書き込みが禁止されています。</translation>
    </message>
</context>
<context>
    <name>CImageDoc</name>
    <message>
        <source>The written patches could not be read back for checking.</source>
        <translation>書き出したパッチを照合のために読み込めませんでした。</translation>
    </message>
    <message>
        <source>%1 differs from what was written.</source>
        <translation>%1 が書き出した内容と一致しません。</translation>
    </message>
    <message>
        <source>The TQ-550 holds what was written: every patch read back unchanged.</source>
        <translation>TQ-550 に書き出した内容が保存されています。読み込んだすべてのパッチが一致しました。</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>Add Folder to Co&amp;llection...</source>
        <translation>フォルダをコレクションに追加(&amp;L)...</translation>
    </message>
    <message>
        <source>Add every file below a folder that holds patches to the collection
Add Folder to Collection</source>
        <translation>フォルダ以下の、パッチを含むすべてのファイルをコレクションに追加します
フォルダをコレクションに追加</translation>
    </message>
    <message>
        <source>Coll&amp;ection</source>
        <translation>コレクション(&amp;O)</translation>
    </message>
    <message>
        <source>Search every patch the program has seen
Collection</source>
        <translation>プログラムがこれまでに見たすべてのパッチを検索します
コレクション</translation>
    </message>
    <message>
        <source>Add to &amp;Collection Automatically</source>
        <translation>自動的にコレクションに追加(&amp;C)</translation>
    </message>
    <message>
        <source>Add the patches of every library opened or saved, import and read to the collection
Add to Collection Automatically</source>
        <translation>開いたり保存したりしたライブラリ、インポート、読み込みのパッチをコレクションに追加します
自動的にコレクションに追加</translation>
    </message>
    <message>
        <source>Open as &amp;Library</source>
        <translation>ライブラリとして開く(&amp;L)</translation>
    </message>
    <message>
        <source>Open the selected patches of the collection as a new library
Open as Library</source>
        <translation>コレクションで選択したパッチを新しいライブラリとして開きます
ライブラリとして開く</translation>
    </message>
    <message>
        <source>&amp;Where Seen...</source>
        <translation>見つかった場所(&amp;W)...</translation>
    </message>
    <message>
        <source>List every place where the selected patch was seen
Where Seen</source>
        <translation>選択したパッチが見つかったすべての場所を一覧表示します
見つかった場所</translation>
    </message>
    <message>
        <source>Fa&amp;vourite</source>
        <translation>お気に入り(&amp;O)</translation>
    </message>
    <message>
        <source>Mark the selected patches of the collection as favourites
Favourite</source>
        <translation>コレクションで選択したパッチをお気に入りにします
お気に入り</translation>
    </message>
</context>
<context>
    <name>CApp</name>
    <message>
        <source>Set the collection file aside and start a new, empty collection? The libraries, imports and device history it was made from stay where they are, and can be added again.</source>
        <translation>コレクションのファイルを別の名前で退避し、新しい空のコレクションを作成しますか？ 元になったライブラリ、インポートしたファイル、機器の履歴はそのまま残り、もう一度追加できます。</translation>
    </message>
    <message>
        <source>The collection file could not be set aside.</source>
        <translation>コレクションのファイルを退避できませんでした。</translation>
    </message>
    <message>
        <source>Add Folder to Collection</source>
        <translation>フォルダをコレクションに追加</translation>
    </message>
</context>
<context>
    <name>CCollectionDoc</name>
    <message>
        <source>Collection</source>
        <translation>コレクション</translation>
    </message>
</context>
<context>
    <name>CCollectionView</name>
    <message>
        <source>Favourites &amp;only</source>
        <translation>お気に入りのみ(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Where Seen...</source>
        <translation>見つかった場所(&amp;W)...</translation>
    </message>
    <message>
        <source>Whe&amp;re Seen...</source>
        <translation>見つかった場所(&amp;R)...</translation>
    </message>
    <message>
        <source>Open as &amp;Library</source>
        <translation>ライブラリとして開く(&amp;L)</translation>
    </message>
    <message>
        <source>Search names, memos and tags</source>
        <translation>名前、メモ、タグを検索</translation>
    </message>
    <message>
        <source>Opening the collection...</source>
        <translation>コレクションを開いています...</translation>
    </message>
    <message>
        <source>All tags</source>
        <translation>すべてのタグ</translation>
    </message>
    <message>
        <source>Sounds: %1</source>
        <translation>サウンド: %1</translation>
    </message>
    <message>
        <source>Sounds: %1 of %2</source>
        <translation>サウンド: %2 個中 %1 個</translation>
    </message>
    <message>
        <source>%1 in the collection</source>
        <translation>コレクションの %1</translation>
    </message>
    <message>
        <source>the first patch of the clipboard</source>
        <translation>クリップボードの先頭のパッチ</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>コピー(&amp;C)</translation>
    </message>
    <message>
        <source>Co&amp;mpare</source>
        <translation>比較(&amp;M)</translation>
    </message>
    <message>
        <source>&amp;Favourite</source>
        <translation>お気に入り(&amp;F)</translation>
    </message>
</context>
<context>
    <name>CCollectionModel</name>
    <message>
        <source>TQ-550, %1</source>
        <translation>TQ-550, %1</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Memo %1</source>
        <translation>メモ %1</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>タグ</translation>
    </message>
    <message>
        <source>Favourite</source>
        <translation>お気に入り</translation>
    </message>
    <message>
        <source>Last Seen</source>
        <translation>最後に見た日時</translation>
    </message>
    <message>
        <source>Where Seen</source>
        <translation>見つかった場所</translation>
    </message>
</context>
<context>
    <name>CWhereSeenDialog</name>
    <message>
        <source>Where Seen: %1</source>
        <translation>見つかった場所: %1</translation>
    </message>
    <message>
        <source>Every place where this patch was seen, the most recent first.</source>
        <translation>このパッチが見つかったすべての場所 (新しい順) です。</translation>
    </message>
    <message>
        <source>Where</source>
        <translation>場所</translation>
    </message>
    <message>
        <source>Patch</source>
        <translation>パッチ</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>種類</translation>
    </message>
    <message>
        <source>Memo 1</source>
        <translation>メモ 1</translation>
    </message>
    <message>
        <source>First Seen</source>
        <translation>最初に見た日時</translation>
    </message>
    <message>
        <source>Last Seen</source>
        <translation>最後に見た日時</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>開く(&amp;O)</translation>
    </message>
    <message>
        <source>Library</source>
        <translation>ライブラリ</translation>
    </message>
    <message>
        <source>Read from the TQ-550</source>
        <translation>TQ-550 からの読み込み</translation>
    </message>
    <message>
        <source>Device History</source>
        <translation>機器の履歴</translation>
    </message>
    <message>
        <source>Import (%1)</source>
        <translation>インポート (%1)</translation>
    </message>
</context>
<context>
    <name>CAddSummaryDialog</name>
    <message>
        <source>Add Folder to Collection</source>
        <translation>フォルダをコレクションに追加</translation>
    </message>
    <message>
        <source>Cancelled: what was added before stays in the collection.</source>
        <translation>キャンセルしました。それまでに追加したものはコレクションに残ります。</translation>
    </message>
    <message>
        <source>The collection could not be changed: the rest was not added.</source>
        <translation>コレクションを変更できませんでした。残りは追加されていません。</translation>
    </message>
    <message>
        <source>Files read: %1</source>
        <translation>読み込んだファイル: %1</translation>
    </message>
    <message>
        <source>Patches found: %1</source>
        <translation>見つかったパッチ: %1</translation>
    </message>
    <message>
        <source>New sounds: %1</source>
        <translation>新しいサウンド: %1</translation>
    </message>
    <message>
        <source>Files refused: %1</source>
        <translation>読み込めなかったファイル: %1</translation>
    </message>
    <message>
        <source>&amp;Copy List</source>
        <translation>一覧をコピー(&amp;C)</translation>
    </message>
</context>
<context>
    <name>CAddToCollection</name>
    <message>
        <source>Looking for files: %1 found</source>
        <translation>ファイルを探しています: %1 個</translation>
    </message>
    <message>
        <source>%1 of %2 files, %3 new patches</source>
        <translation>ファイル %2 個中 %1 個、新しいパッチ %3 個</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>&amp;Audition</source>
        <translation>試聴(&amp;L)</translation>
    </message>
    <message>
        <source>Send each patch to the processor&apos;s temporary area as it is selected
Audition</source>
        <translation>選んだパッチをそのつど TQ-550 の Temporary Area に送ります
試聴</translation>
    </message>
    <message>
        <source>&amp;Audition Controls...</source>
        <translation>試聴のフット スイッチ(&amp;A)...</translation>
    </message>
    <message>
        <source>Choose the foot switch that steps through the patches while auditioning
Audition Controls</source>
        <translation>試聴中にパッチを順に切り替えるフット スイッチを設定します
試聴のフット スイッチ</translation>
    </message>
</context>
<context>
    <name>CTemporaryArea</name>
    <message>
        <source>Temporary: sending...</source>
        <translation>Temporary: 送信中...</translation>
    </message>
    <message>
        <source>Temporary: %1</source>
        <translation>Temporary: %1</translation>
    </message>
</context>
<context>
    <name>CDoc</name>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>CCollectionView</name>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>CAuditionPedal</name>
    <message>
        <source>Program Change %1</source>
        <translation>プログラム・チェンジ %1</translation>
    </message>
    <message>
        <source>Control Change %1</source>
        <translation>コントロール・チェンジ %1</translation>
    </message>
    <message>
        <source>Note On %1</source>
        <translation>ノート・オン %1</translation>
    </message>
    <message>
        <source>Not learned</source>
        <translation>未設定</translation>
    </message>
</context>
<context>
    <name>CAuditionControlsDialog</name>
    <message>
        <source>Audition Controls</source>
        <translation>試聴のフット スイッチ</translation>
    </message>
    <message>
        <source>Any</source>
        <translation>すべて</translation>
    </message>
    <message>
        <source>&amp;Input port:</source>
        <translation>入力ポート(&amp;I):</translation>
    </message>
    <message>
        <source>Next:</source>
        <translation>次へ:</translation>
    </message>
    <message>
        <source>Previous:</source>
        <translation>前へ:</translation>
    </message>
    <message>
        <source>&amp;Channel:</source>
        <translation>チャンネル(&amp;C):</translation>
    </message>
    <message>
        <source>Click Learn, then press the pedal. A pedal may send a Program Change, a Control Change (pressed at a value of 64 or more) or a Note On.</source>
        <translation>[学習] をクリックしてから、ペダルを踏んでください。ペダルが送るのは、プログラム・チェンジ、コントロール・チェンジ（値が 64 以上で踏んだとみなします）、ノート・オンのどれでもかまいません。</translation>
    </message>
    <message>
        <source>Press the pedal...</source>
        <translation>ペダルを踏んでください...</translation>
    </message>
    <message>
        <source>&amp;Learn</source>
        <translation>学習(&amp;L)</translation>
    </message>
    <message>
        <source>L&amp;earn</source>
        <translation>学習(&amp;E)</translation>
    </message>
</context>
</TS>
