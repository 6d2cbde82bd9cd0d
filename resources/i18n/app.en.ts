<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
    <context>
        <name>ZBQ</name>
        <message>
            <source>読み込みに失敗しました</source>
            <translation>Reading failed</translation>
        </message>
        <message>
            <source>ZBQファイルのオープンに失敗しました。</source>
            <translation>The ZBQ file could not be opened.</translation>
        </message>
        <message>
            <source>Excelファイルのデータを追加しました</source>
            <translation>The data of the Excel file was added</translation>
        </message>
        <message>
            <source>読込み中</source>
            <translation>Reading</translation>
        </message>
        <message>
            <source>エラー発生のため終了します。
</source>
            <translation>An error occurred, so reading ends.
</translation>
        </message>
        <message>
            <source>定義ファイル[%1]が大きすぎます。定義ファイルは%2バイトまでです。</source>
            <translation>The definition file [%1] is too large. A definition file may hold at most %2 bytes.</translation>
        </message>
        <message>
            <source>項目が多すぎます。項目は%1個までです。</source>
            <translation>There are too many items. A data set may hold at most %1 items.</translation>
        </message>
        <message>
            <source>定義ファイル[%1]を読み込めません。</source>
            <translation>The definition file [%1] cannot be read.</translation>
        </message>
        <message>
            <source>"がありません。</source>
            <translation>A " is missing.</translation>
        </message>
        <message>
            <source>認識できない文字列があります。</source>
            <translation>There is a text that cannot be recognised.</translation>
        </message>
        <message>
            <source>数値以外の文字があります。</source>
            <translation>There is a character that is not a digit.</translation>
        </message>
        <message>
            <source>認識子が重複しているか、又は足りません。</source>
            <translation>A keyword is repeated or missing.</translation>
        </message>
        <message>
            <source>項目情報が取得できません。</source>
            <translation>No item information can be read.</translation>
        </message>
        <message>
            <source>項目名が取得できません。</source>
            <translation>No item name can be read.</translation>
        </message>
        <message>
            <source>項目タイプが取得できません。</source>
            <translation>No item type can be read.</translation>
        </message>
        <message>
            <source>コードの情報が取得できません。</source>
            <translation>No code information can be read.</translation>
        </message>
        <message>
            <source>この項目にコード情報はありません。</source>
            <translation>This item has no code information.</translation>
        </message>
        <message>
            <source>Alloc が、項目数と一致しません</source>
            <translation>Alloc does not match the number of items</translation>
        </message>
        <message>
            <source>Alloc で、同一番号が重複しています</source>
            <translation>Alloc repeats a number</translation>
        </message>
        <message>
            <source>Alloc で、不正な番号があります</source>
            <translation>Alloc has an invalid number</translation>
        </message>
        <message>
            <source>先頭の識別子が認識できません。</source>
            <translation>The code at the start of the line cannot be recognised.</translation>
        </message>
        <message>
            <source>"="が認識できません。</source>
            <translation>No "=" can be found.</translation>
        </message>
        <message>
            <source>タイトル[Title-EndTitle]の対応が不完全です。</source>
            <translation>Title[Title-EndTitle] is not closed.</translation>
        </message>
        <message>
            <source>グループ[Group-EndGroup]の対応が不完全です。</source>
            <translation>Group[Group-EndGroup] is not closed.</translation>
        </message>
        <message>
            <source>アイテム[Item-EndItem]の対応が不完全です。</source>
            <translation>Item[Item-EndItem] is not closed.</translation>
        </message>
        <message>
            <source>コード定義[Def-EndDef]の対応が不完全です。</source>
            <translation>Code definition[Def-EndDef] is not closed.</translation>
        </message>
        <message>
            <source>%1()がエラー終了しました [errorNo:%2]</source>
            <translation>%1() ended with an error [errorNo:%2]</translation>
        </message>
        <message>
            <source>ｺｰﾄﾞ</source>
            <translation>Code</translation>
        </message>
        <message>
            <source>ﾏﾙﾁｱﾝｻｰ</source>
            <translation>MultiAns</translation>
        </message>
        <message>
            <source>整数</source>
            <translation>Integer</translation>
        </message>
        <message>
            <source>浮動小数</source>
            <translation>Float</translation>
        </message>
        <message>
            <source>文字列</source>
            <translation>String</translation>
        </message>
        <message>
            <source>日付</source>
            <translation>Date</translation>
        </message>
        <message>
            <source>時刻</source>
            <translation>Time</translation>
        </message>
        <message>
            <source>使用可能な物理メモリ：%1MB
使用可能な仮想メモリ：%2MB
必要なメモリ：%3MB
</source>
            <translation>Available physical memory: %1MB
Available virtual memory: %2MB
Memory needed: %3MB
</translation>
        </message>
        <message>
            <source>ファイルを読み込むためのメモリが足りません</source>
            <translation>There is not enough memory to read the file</translation>
        </message>
        <message>
            <source>利用可能なメモリが足りないため、読み込みに時間がかかります
よろしいですか？</source>
            <translation>There is too little free memory, so reading will take a long time
Go on?</translation>
        </message>
        <message>
            <source>パスワードが一致しません</source>
            <translation>The password does not match</translation>
        </message>
        <message>
            <source>内部データの取得に失敗しました</source>
            <translation>The internal data could not be read</translation>
        </message>
        <message>
            <source>ファイルの書出しに失敗しました。
[%1]</source>
            <translation>The file could not be written.
[%1]</translation>
        </message>
        <message>
            <source>ファイルの書出しに失敗しました。
[%1]
作業中のZBQファイルを表示中の集合データだけで置き換えることはできません。</source>
            <translation>The file could not be written.
[%1]
The ZBQ file in use cannot be replaced by the records of the displayed set alone.</translation>
        </message>
        <message>
            <source>ZBQﾌｧｲﾙ[%1]
MCRﾌｧｲﾙ[%2]
を作成しました</source>
            <translation>ZBQ file [%1]
MCR file [%2]
were created</translation>
        </message>
        <message>
            <source>
読込めなかった元のMCRファイルは[%1]に残しました</source>
            <translation>
The former MCR file, which could not be read, was kept as [%1]</translation>
        </message>
        <message>
            <source>ファイルの書出しに失敗しました。
[%1]
読込んだ後にZBQファイル[%2]が変更されたため、読込んだデータを書き出せません。</source>
            <translation>The file could not be written.
[%1]
The ZBQ file [%2] was changed after it was loaded, so the loaded data can no longer be written.</translation>
        </message>
        <message>
            <source>データがロードされるまでお待ちください</source>
            <translation>Please wait until the data is loaded</translation>
        </message>
        <message>
            <source>書き込み中</source>
            <translation>Writing</translation>
        </message>
        <message>
            <source>エクセルの起動に失敗しました</source>
            <translation>Excel could not be started</translation>
        </message>
        <message>
            <source>Grafvik.ocx が存在しません</source>
            <translation>Grafvik.ocx does not exist</translation>
        </message>
        <message>
            <source>Grafvik.ocx がレジストリに登録されていません</source>
            <translation>Grafvik.ocx is not registered in the registry</translation>
        </message>
        <message>
            <source>ファイルの書出しに失敗しました。
%1</source>
            <translation>The file could not be written.
%1</translation>
        </message>
        <message>
            <source>ZBQﾌｧｲﾙ (*.zbq)</source>
            <translation>ZBQ file (*.zbq)</translation>
        </message>
        <message>
            <source>ZBQファイル (*.zbq);;Excelファイル (*.xls *.xlsx);;テキストファイル (*.txt)</source>
            <translation>ZBQ file (*.zbq);;Excel file (*.xls *.xlsx);;Text file (*.txt)</translation>
        </message>
        <message>
            <source>エクセルがインストールされていないため、エクセルへの出力はできません</source>
            <translation>Excel is not installed, so nothing can be written to Excel</translation>
        </message>
        <message>
            <source>カレントモジュール名の取得に失敗しました</source>
            <translation>The program's own path could not be found</translation>
        </message>
        <message>
            <source>設定ファイル[%1]を読み込めません。</source>
            <translation>The settings file [%1] cannot be read.</translation>
        </message>
        <message>
            <source>Excelファイル</source>
            <translation>Excel file</translation>
        </message>
        <message>
            <source>シート名</source>
            <translation>Sheet name</translation>
        </message>
        <message>
            <source>項目名</source>
            <translation>Item name</translation>
        </message>
        <message>
            <source>項目タイプ</source>
            <translation>Item type</translation>
        </message>
        <message>
            <source>Excelファイル読込</source>
            <translation>Excel file read</translation>
        </message>
        <message>
            <source>削除</source>
            <translation>Delete</translation>
        </message>
        <message>
            <source>上に移動</source>
            <translation>Up</translation>
        </message>
        <message>
            <source>下に移動</source>
            <translation>Down</translation>
        </message>
        <message>
            <source>項目設定</source>
            <translation>Read</translation>
        </message>
        <message>
            <source>ZEBRINE タイトル</source>
            <translation>ZEBRINE Title</translation>
        </message>
        <message>
            <source>ZEBRINE 項目定義</source>
            <translation>ZEBRINE Column definition</translation>
        </message>
        <message>
            <source>次行</source>
            <translation>Next row</translation>
        </message>
        <message>
            <source>編集</source>
            <comment>text import</comment>
            <translation>Update</translation>
        </message>
        <message>
            <source>ｷｬﾝｾﾙ</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>項目名が設定されていない項目があります。項目名を入力してください。</source>
            <translation>An item has no name. Please enter its name.</translation>
        </message>
        <message>
            <source>項目名が長すぎます。%1</source>
            <translation>The item name is too long. %1</translation>
        </message>
        <message>
            <source>項目名が重複しています。項目名はユニークな名前でなくてはなりません。次の項目名を変更してください。%1</source>
            <translation>Item names are repeated. Each item name must be unique. Please change this item name. %1</translation>
        </message>
        <message>
            <source>%1 の項目タイプが違います。</source>
            <translation>The item type of %1 is wrong.</translation>
        </message>
        <message>
            <source>%1 の項目タイプが違います。%2でなければなりません。</source>
            <translation>The item type of %1 is wrong. It must be %2.</translation>
        </message>
        <message>
            <source>パスワードで保護されたブックは読み込めません。</source>
            <translation>A password-protected workbook cannot be read.</translation>
        </message>
        <message>
            <source>ブックの形式が古すぎるため読み込めません。</source>
            <translation>The workbook is in a format too old to read.</translation>
        </message>
        <message>
            <source>シフトJISで表せない文字が含まれています。[%1 : %2 : %3]</source>
            <translation>It contains characters that Shift JIS cannot represent. [%1 : %2 : %3]</translation>
        </message>
        <message>
            <source>Excelのシート名の取得に失敗しました。処理を中止します。</source>
            <translation>Getting the sheet names from Excel failed. The operation is abandoned.</translation>
        </message>
        <message>
            <source>Excelからの読込に失敗しました。処理を中止します。</source>
            <translation>Reading from Excel failed. The operation is abandoned.</translation>
        </message>
        <message>
            <source>Excelからのデータ読込に失敗しました。処理を中止します。</source>
            <translation>Reading the data from Excel failed. The operation is abandoned.</translation>
        </message>
        <message>
            <source>一時フォルダ[%1]の空き容量が足りません。
この読込には少なくとも%2の空きが必要です（今の空きは%3です）。</source>
            <translation>The temporary folder [%1] has too little free space.
This import needs at least %2 free (%3 free now).</translation>
        </message>
        <message>
            <source>指定のシートから項目情報を取り出すことはせきませんでした。</source>
            <translation>No item information could be taken from the sheet.</translation>
        </message>
        <message>
            <source>項目の数が異なっています。追加できません。</source>
            <translation>The number of items differs. The data cannot be added.</translation>
        </message>
        <message>
            <source>ファイルが作成できません。</source>
            <translation>The file cannot be created.</translation>
        </message>
        <message>
            <source>ファイルに書き込みできません。</source>
            <translation>The file cannot be written.</translation>
        </message>
        <message>
            <source>Excelからデータを読み込めませんでした。</source>
            <translation>No data could be read from Excel.</translation>
        </message>
        <message>
            <source> 行読込</source>
            <translation> rows read</translation>
        </message>
        <message>
            <source>項目名に使用できない文字（空白、タブ、"、改行）があります。項目名を変更してください。</source>
            <translation>The item name holds a character it cannot hold (blank, tab, ", line break). Please change the item name.</translation>
        </message>
        <message>
            <source>タイトルに使用できない文字（空白、タブ、"、改行）があります。タイトルを変更してください。</source>
            <translation>The title holds a character it cannot hold (blank, tab, ", line break). Please change the title.</translation>
        </message>
        <message>
            <source>項目編集</source>
            <translation>Colomn infomation</translation>
        </message>
        <message>
            <source>名前　：</source>
            <translation>Name :</translation>
        </message>
        <message>
            <source>型　：</source>
            <translation>Type :</translation>
        </message>
        <message>
            <source>ログイン</source>
            <translation>Log in</translation>
        </message>
        <message>
            <source>OK(&amp;O)</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>ファイル名 : </source>
            <translation>File name : </translation>
        </message>
        <message>
            <source>パスワード(&amp;P):</source>
            <translation>Password:</translation>
        </message>
        <message>
            <source>ﾌｧｲﾙ(&amp;F)</source>
            <translation>&amp;File</translation>
        </message>
        <message>
            <source>終了(&amp;X)</source>
            <translation>E&amp;xit</translation>
        </message>
        <message>
            <source>表示(&amp;V)</source>
            <translation>&amp;View</translation>
        </message>
        <message>
            <source>ｺﾝｿｰﾙを表示</source>
            <translation>Show console</translation>
        </message>
        <message>
            <source>定型印刷(&amp;P)</source>
            <translation>&amp;Print</translation>
        </message>
        <message>
            <source>dumy</source>
            <translation>dumy</translation>
        </message>
        <message>
            <source>ﾏｸﾛ(&amp;M)</source>
            <translation>&amp;Macro</translation>
        </message>
        <message>
            <source>記録開始(&amp;R)	Ctrl+R</source>
            <translation>Start &amp;Recording	Ctrl+R</translation>
        </message>
        <message>
            <source>記録終了(&amp;E)	Ctrl+E</source>
            <translation>&amp;Stop Recording	Ctrl+E</translation>
        </message>
        <message>
            <source>ﾏｸﾛﾒﾆｭｰ表示(&amp;M)	Ctrl+M</source>
            <translation>Show Macro &amp;Menu	Ctrl+M</translation>
        </message>
        <message>
            <source>ｳｨﾝﾄﾞｳ(&amp;W)</source>
            <translation>&amp;Window</translation>
        </message>
        <message>
            <source>全てをｱｲｺﾝ化(&amp;M)</source>
            <translation>&amp;Iconize all</translation>
        </message>
        <message>
            <source>ﾍﾙﾌﾟ(&amp;H)</source>
            <translation>&amp;Help</translation>
        </message>
        <message>
            <source>ﾊﾞｰｼﾞｮﾝ情報(&amp;A)</source>
            <translation>&amp;About</translation>
        </message>
        <message>
            <source>元データ</source>
            <translation>Original data</translation>
        </message>
        <message>
            <source>ｸﾛｽ集計</source>
            <translation>Cross tab</translation>
        </message>
        <message>
            <source>表示中値一覧ウィンドウの数が規定数：%1を超えました。
他のウィンドウを閉じてからもう一度処理を行ってください</source>
            <translation>More value-list windows are open than the limit of %1.
Please close other windows and try again</translation>
        </message>
        <message>
            <source>記録</source>
            <translation>REC</translation>
        </message>
        <message>
            <source>ヘルプファイルの検索に失敗しました</source>
            <translation>The help file was not found</translation>
        </message>
        <message>
            <source>ヘルプファイルの表示に失敗しました</source>
            <translation>The help file could not be shown</translation>
        </message>
        <message>
            <source>ﾊﾞｰｼﾞｮﾝ情報</source>
            <translation>Version information</translation>
        </message>
        <message>
            <source>ZEBRINE を終了しますか？</source>
            <translation>Exit ZEBRINE?</translation>
        </message>
        <message>
            <source>元データ表示</source>
            <translation>Original data</translation>
        </message>
        <message>
            <source>パスワード入力</source>
            <translation>Enter password</translation>
        </message>
        <message>
            <source>入力は半角英数１５文字以内で</source>
            <translation>Enter up to 15 characters</translation>
        </message>
        <message>
            <source>マクロ「%1」を実行します。
マクロを実行すると、画面を一度初期化します。
実行してよろしいですか？</source>
            <translation>The macro "%1" will run.
Running a macro resets the screen first.
Run it?</translation>
        </message>
        <message>
            <source>ファイル形式が違います。[%1]
起動時に指定できるのは、ZBQファイル(.zbq)と定義ファイル(.def)です。Excelファイルとテキストファイルは、ファイルを指定せずに起動して、ファイルを開くダイアログで選んでください。</source>
            <translation>Inadequate file[%1]
Only a ZBQ file (.zbq) or a definition file (.def) can be named at start-up. Choose Excel files and text files in the open dialog, which shows when no file is named.</translation>
        </message>
        <message>
            <source>ファイルが見つかりません。</source>
            <translation>The file was not found.</translation>
        </message>
        <message>
            <source>ファイル形式が違います。</source>
            <translation>The file is not of a format that can be read.</translation>
        </message>
        <message>
            <source>ZBQファイルを指定してください。</source>
            <translation>Please choose a ZBQ file.</translation>
        </message>
        <message>
            <source>ファイルを複数指定出来るのは、Excelファイルのみです。</source>
            <translation>Only Excel files can be chosen several at a time.</translation>
        </message>
        <message>
            <source>ファイルを複数指定出来るのは、同一形式のファイルのみです。</source>
            <translation>Only files of one format can be chosen several at a time.</translation>
        </message>
        <message>
            <source>テキストファイル</source>
            <translation>Text file</translation>
        </message>
        <message>
            <source>テキストファイル読込</source>
            <translation>Text file read</translation>
        </message>
        <message>
            <source>指定のファイルから項目情報を取り出すことはせきませんでした。</source>
            <translation>No item information could be taken from the file.</translation>
        </message>
        <message>
            <source>項目名が設定されて項目があります。項目名を入力してください。</source>
            <translation>An item has no name. Please enter its name.</translation>
        </message>
        <message>
            <source>タイトルが設定されていません。タイトルを入力してください。</source>
            <translation>No title is given. Please enter a title.</translation>
        </message>
        <message>
            <source>ファイルが作成できませんでした。処理を終了します。</source>
            <translation>The file could not be created. The operation ends.</translation>
        </message>
        <message>
            <source>ファイルに書き込みできませんでした。処理を終了します。</source>
            <translation>The file could not be written. The operation ends.</translation>
        </message>
        <message>
            <source>テキストファイルからデータを読み込めませんでした。</source>
            <translation>No data could be read from the text files.</translation>
        </message>
        <message>
            <source>テキストファイル[%1]はBOM付きのUTF-8です。Shift-JIS(CP932)で保存してください。</source>
            <translation>The text file [%1] is UTF-8 with a BOM. Please save it in Shift-JIS (CP932).</translation>
        </message>
        <message>
            <source>テキストファイル[%1]の%2行目に読み込めない文字（NUL、改行）があります。</source>
            <translation>Line %2 of the text file [%1] holds a character that cannot be read (NUL, line break).</translation>
        </message>
        <message>
            <source>テキストファイル[%1]の%2行目はUTF-8です。Shift-JIS(CP932)で保存してください。</source>
            <translation>Line %2 of the text file [%1] is UTF-8. Please save the file in Shift-JIS (CP932).</translation>
        </message>
        <message>
            <source>テキストファイル[%1]の%2行目にShift-JIS(CP932)でない文字があります。</source>
            <translation>Line %2 of the text file [%1] holds a character that is not Shift-JIS (CP932).</translation>
        </message>
        <message>
            <source>テキストファイル[%1]の1行目が長すぎます。項目名の行は%2バイトまでです。</source>
            <translation>The first line of the text file [%1] is too long. The line of item names may hold at most %2 bytes.</translation>
        </message>
    </context>
</TS>
