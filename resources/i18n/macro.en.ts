<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
    <context>
        <name>ZBQ</name>
        <message>
            <source>マクロの記録を開始します。
記録を開始すると画面を一度初期化します。
開始してよろしいですか？</source>
            <translation>Recording of a macro will start.
Starting a recording resets the screen first.
Start it?</translation>
        </message>
        <message>
            <source>改行を含むため、この操作はマクロに記録できません。</source>
            <translation>This operation contains a line break and cannot be recorded in a macro.</translation>
        </message>
        <message>
            <source>同名のマクロが既に存在します。マクロ名を変更して下さい。</source>
            <translation>A macro of that name already exists. Please change the macro name.</translation>
        </message>
        <message>
            <source>マクロ名が64バイトを超えています。マクロ名を変更して下さい。</source>
            <translation>The macro name is longer than 64 bytes. Please change the macro name.</translation>
        </message>
        <message>
            <source>マクロ名に改行は使用できません。マクロ名を変更して下さい。</source>
            <translation>A macro name cannot hold a line break. Please change the macro name.</translation>
        </message>
        <message>
            <source>記録中...</source>
            <translation>Recording...</translation>
        </message>
        <message>
            <source>マクロが999件登録されています。1000件以上は登録できません。</source>
            <translation>999 macros are registered. No more than 999 can be registered.</translation>
        </message>
        <message>
            <source>コマンド[%1]のパラメータ数が不正です。
このコマンドのパラメータ数は[%2]個です。
マクロの実行を中止します。</source>
            <translation>The command [%1] has a wrong number of parameters.
This command takes [%2] parameters.
The macro is stopped.</translation>
        </message>
        <message>
            <source>画面が表示されていないため、マクロを実行できません。
マクロの実行を中止します。</source>
            <translation>The window is not shown, so the macro cannot run.
The macro is stopped.</translation>
        </message>
        <message>
            <source>コマンド[%1]のパラメータが範囲を超えています。
マクロの実行を中止します。</source>
            <translation>A parameter of the command [%1] is out of range.
The macro is stopped.</translation>
        </message>
        <message>
            <source>コマンド[%1]のパラメータに%2が指定されていません。
マクロの実行を中止します。</source>
            <translation>The command [%1] is missing a parameter: %2.
The macro is stopped.</translation>
        </message>
        <message>
            <source>コマンド[%1]のパラメータのフォルダ
[%2]が存在しません。
マクロの実行を中止します。</source>
            <translation>The folder of the command [%1]'s parameter
[%2] does not exist.
The macro is stopped.</translation>
        </message>
        <message>
            <source>ファイル[%1]が存在しません。
マクロの実行を中止します。</source>
            <translation>The file [%1] does not exist.
The macro is stopped.</translation>
        </message>
        <message>
            <source>コマンド[%1]で指定された[%2]項目は存在しません。
マクロの実行を中止します。</source>
            <translation>The item [%2] named by the command [%1] does not exist.
The macro is stopped.</translation>
        </message>
        <message>
            <source>コマンド[%1]で指定されたNo.[%2]の集合は存在しません。
マクロの実行を中止します。</source>
            <translation>The set No.[%2] named by the command [%1] does not exist.
The macro is stopped.</translation>
        </message>
        <message>
            <source>コマンド[%1]のパラメータが不正です。
マクロの実行を中止します。</source>
            <translation>A parameter of the command [%1] is invalid.
The macro is stopped.</translation>
        </message>
        <message>
            <source>MCRファイルの読込みに失敗しました。ファイルの内容が不正な可能性があります。
読込み失敗箇所：[%1]%2</source>
            <translation>The MCR file could not be read. Its contents may be invalid.
Where reading failed: [%1]%2</translation>
        </message>
        <message>
            <source>MCRファイルのマクロ名で64バイトを超えているものがあります。このマクロは読込めません。
続けますか？</source>
            <translation>A macro name of the MCR file is longer than 64 bytes. That macro cannot be read.
Go on?</translation>
        </message>
        <message>
            <source>MCRファイルにステップが１つもないマクロがあります。このマクロは読込めません。
続けますか？</source>
            <translation>A macro of the MCR file has no step. That macro cannot be read.
Go on?</translation>
        </message>
        <message>
            <source>MCRファイルのバージョンが[2.0]でないためMCRファイルを読込めません。
続けますか？</source>
            <translation>The MCR file's version is not [2.0], so the MCR file cannot be read.
Go on?</translation>
        </message>
        <message>
            <source>MCRファイルと%1ファイルの構造定義情報が異なるため、MCRファイルを読込めません。
異なる箇所：%2
続けますか？</source>
            <translation>The MCR file and the %1 file differ in their structure definition, so the MCR file cannot be read.
Where they differ: %2
Go on?</translation>
        </message>
        <message>
            <source>MCRファイルのマクロが999件を超えてます。1000件以上は読込めません。</source>
            <translation>The MCR file holds more than 999 macros. No more than 999 can be read.</translation>
        </message>
        <message>
            <source>MCRファイルに同名のマクロが存在します。同名のマクロは読込めません。
続けますか？</source>
            <translation>The MCR file holds a macro of a name already registered. That macro cannot be read.
Go on?</translation>
        </message>
        <message>
            <source>MCRファイルの構造定義情報が異なるため、MCRファイルを読込めません。
異なる箇所：%1</source>
            <translation>The MCR file's structure definition differs, so the MCR file cannot be read.
Where they differ: %1</translation>
        </message>
        <message>
            <source>MCRファイルのマクロが999件を超えてます。1000件以上は読込めません。
インポートを実行しますか？</source>
            <translation>With the MCR file's macros there would be more than 999. No more than 999 can be registered.
Import anyway?</translation>
        </message>
        <message>
            <source>同名のマクロが既に存在します。同名のマクロは追加されません。
※　既に登録されているマクロの名前はマクロメニューから変更できます。
※　新たに追加するマクロの名前はMCRファイルの[マクロ]Name?を直接編集することで変更できます。
インポートを実行しますか？</source>
            <translation>A macro of the same name already exists. A macro of a name already used is not added.
* The name of a registered macro can be changed in the macro menu.
* The name of a macro to be added can be changed by editing Name? under [マクロ] in the MCR file.
Import anyway?</translation>
        </message>
        <message>
            <source>
続けますか？</source>
            <translation>
Go on?</translation>
        </message>
        <message>
            <source>構造定義情報のマクロ領域への読込みに失敗しました。</source>
            <translation>The structure definition could not be read into the macro area.</translation>
        </message>
        <message>
            <source>MCRファイルが存在しません。</source>
            <translation>The MCR file does not exist.</translation>
        </message>
        <message>
            <source>MCRファイルの書出しに失敗しました。
書出し失敗箇所：[%1]%2</source>
            <translation>The MCR file could not be written.
Where writing failed: [%1]%2</translation>
        </message>
        <message>
            <source>コマンド[%1]のパラメータのマクロ[%2]は登録されていません。
マクロの実行を中止します。</source>
            <translation>The macro [%2] named by the command [%1] is not registered.
The macro is stopped.</translation>
        </message>
        <message>
            <source>マクロの実行が完了しました。</source>
            <translation>The macro has finished.</translation>
        </message>
        <message>
            <source>マクロ「auto_open」の実行が完了しました。</source>
            <translation>The macro "auto_open" has finished.</translation>
        </message>
        <message>
            <source>ファイル名</source>
            <translation>File name</translation>
        </message>
        <message>
            <source>％値</source>
            <translation>Percent value</translation>
        </message>
        <message>
            <source>[CSVに書出し]: CSVファイル名を入力して下さい。</source>
            <translation>[Write to CSV]: Enter the CSV file name.</translation>
        </message>
        <message>
            <source>[項目データCSV書出し]: CSVファイル名を入力して下さい。</source>
            <translation>[Item data Write to CSV]: Enter the CSV file name.</translation>
        </message>
        <message>
            <source>コンソールを表示</source>
            <translation>Show console</translation>
        </message>
        <message>
            <source>全てをアイコン化</source>
            <translation>Iconize all</translation>
        </message>
        <message>
            <source>定型印刷</source>
            <translation>Format printing</translation>
        </message>
        <message>
            <source>マクロ実行</source>
            <translation>Execute macro</translation>
        </message>
        <message>
            <source>元データ コピー（項目名付き）</source>
            <translation>Original data Copy (with item names)</translation>
        </message>
        <message>
            <source>元データ コピー（項目名無し）</source>
            <translation>Original data Copy (no item names)</translation>
        </message>
        <message>
            <source>元データ CSVに書出し（項目名付き）</source>
            <translation>Original data Write to CSV (with item names)</translation>
        </message>
        <message>
            <source>元データ CSVに書出し（項目名無し）</source>
            <translation>Original data Write to CSV (no item names)</translation>
        </message>
        <message>
            <source>元データ Excelに書出し（項目名付き）</source>
            <translation>Original data Write to Excel (with item names)</translation>
        </message>
        <message>
            <source>元データ Excelに書出し（項目名無し）</source>
            <translation>Original data Write to Excel (no item names)</translation>
        </message>
        <message>
            <source>元データ ソート（昇順）</source>
            <translation>Original data Sort (ascending)</translation>
        </message>
        <message>
            <source>元データ ソート（降順）</source>
            <translation>Original data Sort (descending)</translation>
        </message>
        <message>
            <source>元データ ソート（元データ順）</source>
            <translation>Original data Sort (original order)</translation>
        </message>
        <message>
            <source>元データ コードで表示</source>
            <translation>Original data Show as codes</translation>
        </message>
        <message>
            <source>元データ セル幅を調整</source>
            <translation>Original data Fit cell width</translation>
        </message>
        <message>
            <source>元データ カンマ編集</source>
            <translation>Original data Commas</translation>
        </message>
        <message>
            <source>元データ 小数点以下桁数</source>
            <translation>Original data Decimal places</translation>
        </message>
        <message>
            <source>元データ セル幅を変更</source>
            <translation>Original data Change cell width</translation>
        </message>
        <message>
            <source>元データ セル選択</source>
            <translation>Original data Select cell</translation>
        </message>
        <message>
            <source>元データ 行選択</source>
            <translation>Original data Select row</translation>
        </message>
        <message>
            <source>元データ 列選択</source>
            <translation>Original data Select column</translation>
        </message>
        <message>
            <source>元データ 全選択</source>
            <translation>Original data Select all</translation>
        </message>
        <message>
            <source>元データ 垂直スクロール</source>
            <translation>Original data Vertical scroll</translation>
        </message>
        <message>
            <source>元データ 水平スクロール</source>
            <translation>Original data Horizontal scroll</translation>
        </message>
        <message>
            <source>元データ マウスの回転</source>
            <translation>Original data Mouse wheel</translation>
        </message>
        <message>
            <source>元データ キーでセル移動</source>
            <translation>Original data Move cell by key</translation>
        </message>
        <message>
            <source>元データ画面クローズ</source>
            <translation>Close original data window</translation>
        </message>
        <message>
            <source>元データ画面最大化</source>
            <translation>Maximize original data window</translation>
        </message>
        <message>
            <source>元データ画面最小化</source>
            <translation>Minimize original data window</translation>
        </message>
        <message>
            <source>元データ画面元のサイズに戻す</source>
            <translation>Restore original data window</translation>
        </message>
        <message>
            <source>画面を閉じる</source>
            <translation>Close window</translation>
        </message>
        <message>
            <source>画面をアイコン化</source>
            <translation>Iconize window</translation>
        </message>
        <message>
            <source>画面を元の大きさ</source>
            <translation>Restore window</translation>
        </message>
        <message>
            <source>画面を最大化</source>
            <translation>Maximize window</translation>
        </message>
        <message>
            <source>全ての画面をアイコン化</source>
            <translation>Iconize all windows</translation>
        </message>
        <message>
            <source>全ての画面を閉じる</source>
            <translation>Close all windows</translation>
        </message>
        <message>
            <source>システムタブを開く</source>
            <translation>Open system tab</translation>
        </message>
        <message>
            <source>コンソール画面最大化</source>
            <translation>Maximize console</translation>
        </message>
        <message>
            <source>コンソール画面最小化</source>
            <translation>Minimize console</translation>
        </message>
        <message>
            <source>コンソール画面元のサイズに戻す</source>
            <translation>Restore console</translation>
        </message>
        <message>
            <source>データ表示</source>
            <translation>Show data</translation>
        </message>
        <message>
            <source>ＺＢに書出し</source>
            <translation>Write to ZBQ</translation>
        </message>
        <message>
            <source>[ＺＢＱに書出し]: ZBQファイル名を入力して下さい。</source>
            <translation>[Write to ZBQ]: Enter the ZBQ file name.</translation>
        </message>
        <message>
            <source>データ追加</source>
            <translation>Add data</translation>
        </message>
        <message>
            <source>[データ追加]: Excelファイル名を入力して下さい。</source>
            <translation>[Add data]: Enter the Excel file name.</translation>
        </message>
        <message>
            <source>項目を表示リストへ</source>
            <translation>Item to display list</translation>
        </message>
        <message>
            <source>項目を非表示に</source>
            <translation>Hide item</translation>
        </message>
        <message>
            <source>全ての項目を表示リストへ</source>
            <translation>All items to display list</translation>
        </message>
        <message>
            <source>全て項目を非表示に</source>
            <translation>Hide all items</translation>
        </message>
        <message>
            <source>項目の閉を許可</source>
            <translation>Allow items to collapse</translation>
        </message>
        <message>
            <source>項目を全て展開</source>
            <translation>Expand all items</translation>
        </message>
        <message>
            <source>項目を全て閉じる</source>
            <translation>Collapse all items</translation>
        </message>
        <message>
            <source>全ての項目を非表示に</source>
            <translation>Hide every item</translation>
        </message>
        <message>
            <source>全ての項目を選択</source>
            <translation>Select all items</translation>
        </message>
        <message>
            <source>項目を並び替え</source>
            <translation>Reorder items</translation>
        </message>
        <message>
            <source>項目選択タブを開く</source>
            <translation>Open item selection tab</translation>
        </message>
        <message>
            <source>集合削除</source>
            <translation>Delete set</translation>
        </message>
        <message>
            <source>集合の閉を許す</source>
            <translation>Allow sets to collapse</translation>
        </message>
        <message>
            <source>集合を全て展開</source>
            <translation>Expand all sets</translation>
        </message>
        <message>
            <source>集合を全て閉じる</source>
            <translation>Collapse all sets</translation>
        </message>
        <message>
            <source>和集合</source>
            <translation>Union</translation>
        </message>
        <message>
            <source>積集合</source>
            <translation>Intersection</translation>
        </message>
        <message>
            <source>差集合</source>
            <translation>Difference</translation>
        </message>
        <message>
            <source>補集合</source>
            <translation>Complement</translation>
        </message>
        <message>
            <source>集合名編集</source>
            <translation>Edit set name</translation>
        </message>
        <message>
            <source>[集合名編集]: No.%d の集合名を入力して下さい。</source>
            <translation>[Edit set name]: Enter the name of set No.%d.</translation>
        </message>
        <message>
            <source>集合名</source>
            <translation>Set name</translation>
        </message>
        <message>
            <source>集合選択</source>
            <translation>Select set</translation>
        </message>
        <message>
            <source>フィルタ実行</source>
            <translation>Execute filter</translation>
        </message>
        <message>
            <source>フィルタAND/OR選択</source>
            <translation>Choose filter AND/OR</translation>
        </message>
        <message>
            <source>フィルタ条件追加ダイアログ表示</source>
            <translation>Show add filter condition dialog</translation>
        </message>
        <message>
            <source>フィルタ条件編集ダイアログ表示</source>
            <translation>Show edit filter condition dialog</translation>
        </message>
        <message>
            <source>フィルタ条件削除</source>
            <translation>Delete filter condition</translation>
        </message>
        <message>
            <source>フィルタ項目選択</source>
            <translation>Choose filter item</translation>
        </message>
        <message>
            <source>フィルタ条件１演算子選択</source>
            <translation>Choose operator of condition 1</translation>
        </message>
        <message>
            <source>フィルタ条件１値入力</source>
            <translation>Enter value of condition 1</translation>
        </message>
        <message>
            <source>[フィルタ条件１]: 値を入力して下さい。</source>
            <translation>[Filter condition 1]: Enter the value.</translation>
        </message>
        <message>
            <source>フィルタ条件２演算子選択</source>
            <translation>Choose operator of condition 2</translation>
        </message>
        <message>
            <source>フィルタ条件２値入力</source>
            <translation>Enter value of condition 2</translation>
        </message>
        <message>
            <source>[フィルタ条件２]: 値を入力して下さい。</source>
            <translation>[Filter condition 2]: Enter the value.</translation>
        </message>
        <message>
            <source>解釈方法（コード/文字列）選択</source>
            <translation>Choose reading (code/text)</translation>
        </message>
        <message>
            <source>フィルタ条件ＯＫ</source>
            <translation>Filter condition OK</translation>
        </message>
        <message>
            <source>フィルタ条件キャンセル</source>
            <translation>Filter condition Cancel</translation>
        </message>
        <message>
            <source>データ選択タブを開く</source>
            <translation>Open data selection tab</translation>
        </message>
        <message>
            <source>ＯＬＡＰ表示</source>
            <translation>Show OLAP</translation>
        </message>
        <message>
            <source>Ｘ軸チェック</source>
            <translation>Check X axis</translation>
        </message>
        <message>
            <source>Ｙ軸チェック</source>
            <translation>Check Y axis</translation>
        </message>
        <message>
            <source>Ｘ軸カテゴリレベル選択</source>
            <translation>Choose X axis category level</translation>
        </message>
        <message>
            <source>Ｙ軸カテゴリレベル選択</source>
            <translation>Choose Y axis category level</translation>
        </message>
        <message>
            <source>Ｘ軸項目選択</source>
            <translation>Choose X axis item</translation>
        </message>
        <message>
            <source>Ｙ軸項目選択</source>
            <translation>Choose Y axis item</translation>
        </message>
        <message>
            <source>Ｘ軸カテゴリ選択</source>
            <translation>Choose X axis category</translation>
        </message>
        <message>
            <source>Ｙ軸カテゴリ選択</source>
            <translation>Choose Y axis category</translation>
        </message>
        <message>
            <source>Ｚ軸項目選択</source>
            <translation>Choose Z axis item</translation>
        </message>
        <message>
            <source>Ｚ軸集合対象値選択</source>
            <translation>Choose Z axis aggregate</translation>
        </message>
        <message>
            <source>％順位</source>
            <translation>% order</translation>
        </message>
        <message>
            <source>[％順位]: ％値（０～１００）を入力して下さい。</source>
            <translation>[% order]: Enter the percent value (0 to 100).</translation>
        </message>
        <message>
            <source>カテゴリ定義を表示</source>
            <translation>Display definition</translation>
        </message>
        <message>
            <source>カテゴリ定義を削除</source>
            <translation>Delete definition</translation>
        </message>
        <message>
            <source>カテゴリ定義をインポート</source>
            <translation>Import definition</translation>
        </message>
        <message>
            <source>[カテゴリ定義をインポート]: ファイルパスを入力して下さい。</source>
            <translation>[Import definition]: Enter the file path.</translation>
        </message>
        <message>
            <source>カテゴリ定義をエクスポート</source>
            <translation>Export definition</translation>
        </message>
        <message>
            <source>[カテゴリ定義をエクスポート]: ファイルパスを入力して下さい。</source>
            <translation>[Export definition]: Enter the file path.</translation>
        </message>
        <message>
            <source>カテゴリ名入力</source>
            <translation>Enter category name</translation>
        </message>
        <message>
            <source>[カテゴリ名入力]: カテゴリ名を入力して下さい。</source>
            <translation>[Category name]: Enter the category name.</translation>
        </message>
        <message>
            <source>カテゴリタイプ選択</source>
            <translation>Choose category type</translation>
        </message>
        <message>
            <source>小分類編集ダイアログ表示</source>
            <translation>Show small class dialog</translation>
        </message>
        <message>
            <source>中分類編集ダイアログ表示</source>
            <translation>Show middle class dialog</translation>
        </message>
        <message>
            <source>大分類編集ダイアログ表示</source>
            <translation>Show large class dialog</translation>
        </message>
        <message>
            <source>カテゴリ定義へ登録</source>
            <translation>Register category definition</translation>
        </message>
        <message>
            <source>カテゴリ定義クリア</source>
            <translation>Clear category definition</translation>
        </message>
        <message>
            <source>カテゴリ定義リセット</source>
            <translation>Reset category definition</translation>
        </message>
        <message>
            <source>小分類名称入力</source>
            <translation>Enter small class name</translation>
        </message>
        <message>
            <source>[小分類名称]: 名称を入力して下さい。</source>
            <translation>[Small class name]: Enter the name.</translation>
        </message>
        <message>
            <source>小分類条件選択</source>
            <translation>Choose small class condition</translation>
        </message>
        <message>
            <source>小分類ｎ１の値入力</source>
            <translation>Enter small class n1 value</translation>
        </message>
        <message>
            <source>[小分類ｎ１]: 値を入力して下さい。</source>
            <translation>[Small class n1]: Enter the value.</translation>
        </message>
        <message>
            <source>小分類ｎ２の値入力</source>
            <translation>Enter small class n2 value</translation>
        </message>
        <message>
            <source>[小分類ｎ２]: 値を入力して下さい。</source>
            <translation>[Small class n2]: Enter the value.</translation>
        </message>
        <message>
            <source>小分類クリア</source>
            <translation>Clear small class</translation>
        </message>
        <message>
            <source>小分類追加</source>
            <translation>Add small class</translation>
        </message>
        <message>
            <source>小分類上書き</source>
            <translation>Overwrite small class</translation>
        </message>
        <message>
            <source>小分類上へ</source>
            <translation>Small class up</translation>
        </message>
        <message>
            <source>小分類下へ</source>
            <translation>Small class down</translation>
        </message>
        <message>
            <source>小分類削除</source>
            <translation>Delete small class</translation>
        </message>
        <message>
            <source>小分類表示</source>
            <translation>Show small class</translation>
        </message>
        <message>
            <source>小分類ダイアログＯＫ</source>
            <translation>Small class dialog OK</translation>
        </message>
        <message>
            <source>小分類ダイアログキャンセル</source>
            <translation>Small class dialog Cancel</translation>
        </message>
        <message>
            <source>中分類名称入力</source>
            <translation>Enter middle class name</translation>
        </message>
        <message>
            <source>[中分類名称]: 名称を入力して下さい。</source>
            <translation>[Middle class name]: Enter the name.</translation>
        </message>
        <message>
            <source>中分類条件選択</source>
            <translation>Choose middle class members</translation>
        </message>
        <message>
            <source>中分類クリア</source>
            <translation>Clear middle class</translation>
        </message>
        <message>
            <source>中分類追加</source>
            <translation>Add middle class</translation>
        </message>
        <message>
            <source>中分類上書き</source>
            <translation>Overwrite middle class</translation>
        </message>
        <message>
            <source>中分類上へ</source>
            <translation>Middle class up</translation>
        </message>
        <message>
            <source>中分類下へ</source>
            <translation>Middle class down</translation>
        </message>
        <message>
            <source>中分類削除</source>
            <translation>Delete middle class</translation>
        </message>
        <message>
            <source>中分類表示</source>
            <translation>Show middle class</translation>
        </message>
        <message>
            <source>中分類ダイアログＯＫ</source>
            <translation>Middle class dialog OK</translation>
        </message>
        <message>
            <source>中分類ダイアログキャンセル</source>
            <translation>Middle class dialog Cancel</translation>
        </message>
        <message>
            <source>大分類名称入力</source>
            <translation>Enter large class name</translation>
        </message>
        <message>
            <source>[大分類名称]: 名称を入力して下さい。</source>
            <translation>[Large class name]: Enter the name.</translation>
        </message>
        <message>
            <source>大分類条件選択</source>
            <translation>Choose large class members</translation>
        </message>
        <message>
            <source>大分類クリア</source>
            <translation>Clear large class</translation>
        </message>
        <message>
            <source>大分類追加</source>
            <translation>Add large class</translation>
        </message>
        <message>
            <source>大分類上書き</source>
            <translation>Overwrite large class</translation>
        </message>
        <message>
            <source>大分類上へ</source>
            <translation>Large class up</translation>
        </message>
        <message>
            <source>大分類下へ</source>
            <translation>Large class down</translation>
        </message>
        <message>
            <source>大分類削除</source>
            <translation>Delete large class</translation>
        </message>
        <message>
            <source>大分類表示</source>
            <translation>Show large class</translation>
        </message>
        <message>
            <source>大分類ダイアログＯＫ</source>
            <translation>Large class dialog OK</translation>
        </message>
        <message>
            <source>大分類ダイアログキャンセル</source>
            <translation>Large class dialog Cancel</translation>
        </message>
        <message>
            <source>ＯＬＡＰタブを開く</source>
            <translation>Open OLAP tab</translation>
        </message>
        <message>
            <source>多次元集計タブを開く</source>
            <translation>Open multi-dimensional tab</translation>
        </message>
        <message>
            <source>X軸カラム設定</source>
            <translation>Set X axis columns</translation>
        </message>
        <message>
            <source>Y軸カラム設定</source>
            <translation>Set Y axis columns</translation>
        </message>
        <message>
            <source>集計カラム設定</source>
            <translation>Set aggregated columns</translation>
        </message>
        <message>
            <source>X軸計表示設定</source>
            <translation>Set X axis totals</translation>
        </message>
        <message>
            <source>Y軸計表示設定</source>
            <translation>Set Y axis totals</translation>
        </message>
        <message>
            <source>多次元集計実行</source>
            <translation>Execute multi-dimensional aggregation</translation>
        </message>
        <message>
            <source>小数点桁数設定</source>
            <translation>Set decimal places</translation>
        </message>
        <message>
            <source>ログタブを開く</source>
            <translation>Open log tab</translation>
        </message>
        <message>
            <source>該当する元データで１つ前</source>
            <translation>Previous matching record</translation>
        </message>
        <message>
            <source>該当する元データで１つ後</source>
            <translation>Next matching record</translation>
        </message>
        <message>
            <source>文字列チェック</source>
            <translation>Check text</translation>
        </message>
        <message>
            <source>検索条件入力</source>
            <translation>Enter search condition</translation>
        </message>
        <message>
            <source>[検索条件]: 検索条件を入力して下さい。</source>
            <translation>[Search condition]: Enter the search condition.</translation>
        </message>
        <message>
            <source>グラフ表示</source>
            <translation>Show graph</translation>
        </message>
        <message>
            <source>項目データ 存在順に表示（昇順）</source>
            <translation>Item data Order by count (ascending)</translation>
        </message>
        <message>
            <source>項目データ 存在順に表示（降順）</source>
            <translation>Item data Order by count (descending)</translation>
        </message>
        <message>
            <source>項目データ 逆順に表示</source>
            <translation>Item data Reverse order</translation>
        </message>
        <message>
            <source>項目データ コピー（項目名付き）</source>
            <translation>Item data Copy (with item names)</translation>
        </message>
        <message>
            <source>項目データ コピー（項目名無し）</source>
            <translation>Item data Copy (no item names)</translation>
        </message>
        <message>
            <source>項目データ CSVに書出し（項目名付き）</source>
            <translation>Item data Write to CSV (with item names)</translation>
        </message>
        <message>
            <source>項目データ CSVに書出し（項目名無し）</source>
            <translation>Item data Write to CSV (no item names)</translation>
        </message>
        <message>
            <source>項目データ Excelに書出し（項目名付き）</source>
            <translation>Item data Write to Excel (with item names)</translation>
        </message>
        <message>
            <source>項目データ Excelに書出し（項目名無し）</source>
            <translation>Item data Write to Excel (no item names)</translation>
        </message>
        <message>
            <source>外す（選択範囲を外す）</source>
            <translation>Exclude (the selection)</translation>
        </message>
        <message>
            <source>外す（選択範囲のみを外す）</source>
            <translation>Exclude (only the selection)</translation>
        </message>
        <message>
            <source>外す（全てを外す）</source>
            <translation>Exclude (all)</translation>
        </message>
        <message>
            <source>外す（値検索結果を外す）</source>
            <translation>Exclude (the search results)</translation>
        </message>
        <message>
            <source>外す（値検索結果のみを外す）</source>
            <translation>Exclude (only the search results)</translation>
        </message>
        <message>
            <source>加える（選択範囲を加える）</source>
            <translation>Include (the selection)</translation>
        </message>
        <message>
            <source>加える（選択範囲のみを加える）</source>
            <translation>Include (only the selection)</translation>
        </message>
        <message>
            <source>加える（全てを加える）</source>
            <translation>Include (all)</translation>
        </message>
        <message>
            <source>加える（値検索結果を加える）</source>
            <translation>Include (the search results)</translation>
        </message>
        <message>
            <source>加える（値検索結果のみを加える）</source>
            <translation>Include (only the search results)</translation>
        </message>
        <message>
            <source>項目データ カンマ編集</source>
            <translation>Item data Commas</translation>
        </message>
        <message>
            <source>項目データ 小数点以下桁数</source>
            <translation>Item data Decimal places</translation>
        </message>
        <message>
            <source>項目データ ％表示桁数</source>
            <translation>Item data Percent places</translation>
        </message>
        <message>
            <source>項目データ セル幅を調整</source>
            <translation>Item data Fit cell width</translation>
        </message>
        <message>
            <source>項目データ セル幅を変更</source>
            <translation>Item data Change cell width</translation>
        </message>
        <message>
            <source>項目データ セル選択</source>
            <translation>Item data Select cell</translation>
        </message>
        <message>
            <source>項目データ 行選択</source>
            <translation>Item data Select row</translation>
        </message>
        <message>
            <source>項目データ 列選択</source>
            <translation>Item data Select column</translation>
        </message>
        <message>
            <source>項目データ 全選択</source>
            <translation>Item data Select all</translation>
        </message>
        <message>
            <source>項目データ 垂直スクロール</source>
            <translation>Item data Vertical scroll</translation>
        </message>
        <message>
            <source>項目データ 水平スクロール</source>
            <translation>Item data Horizontal scroll</translation>
        </message>
        <message>
            <source>項目データ マウスの回転</source>
            <translation>Item data Mouse wheel</translation>
        </message>
        <message>
            <source>項目データ キーでセル移動</source>
            <translation>Item data Move cell by key</translation>
        </message>
        <message>
            <source>項目データ ％順位値の算出</source>
            <translation>Item data Percent rank value</translation>
        </message>
        <message>
            <source>[％順位値の算出]: ％値（０～１００）を入力して下さい。</source>
            <translation>[Percent rank value]: Enter the percent value (0 to 100).</translation>
        </message>
        <message>
            <source>項目データ画面クローズ</source>
            <translation>Close item data window</translation>
        </message>
        <message>
            <source>項目データ画面最大化</source>
            <translation>Maximize item data window</translation>
        </message>
        <message>
            <source>項目データ画面最小化</source>
            <translation>Minimize item data window</translation>
        </message>
        <message>
            <source>項目データ画面元のサイズに戻す</source>
            <translation>Restore item data window</translation>
        </message>
        <message>
            <source>値一覧タブを開く</source>
            <translation>Open value list tab</translation>
        </message>
        <message>
            <source>概要タブを開く</source>
            <translation>Open summary tab</translation>
        </message>
        <message>
            <source>クロス集計 全部をコピー</source>
            <translation>Cross tab Copy all</translation>
        </message>
        <message>
            <source>クロス集計 コピー（項目名付き）</source>
            <translation>Cross tab Copy (with item names)</translation>
        </message>
        <message>
            <source>クロス集計 コピー（項目名無し）</source>
            <translation>Cross tab Copy (no item names)</translation>
        </message>
        <message>
            <source>クロス集計 全部をCSVに書出し</source>
            <translation>Cross tab Write all to CSV</translation>
        </message>
        <message>
            <source>クロス集計 CSVに書出し（項目名付き）</source>
            <translation>Cross tab Write to CSV (with item names)</translation>
        </message>
        <message>
            <source>クロス集計 CSVに書出し（項目名無し）</source>
            <translation>Cross tab Write to CSV (no item names)</translation>
        </message>
        <message>
            <source>クロス集計 全部をExcelに書出し</source>
            <translation>Cross tab Write all to Excel</translation>
        </message>
        <message>
            <source>クロス集計 Excelに書出し（項目名付き）</source>
            <translation>Cross tab Write to Excel (with item names)</translation>
        </message>
        <message>
            <source>クロス集計 Excelに書出し（項目名無し）</source>
            <translation>Cross tab Write to Excel (no item names)</translation>
        </message>
        <message>
            <source>クロス集計 小数点以下桁数</source>
            <translation>Cross tab Decimal places</translation>
        </message>
        <message>
            <source>クロス集計 セル幅を調整</source>
            <translation>Cross tab Fit cell width</translation>
        </message>
        <message>
            <source>クロス集計 セル幅を変更</source>
            <translation>Cross tab Change cell width</translation>
        </message>
        <message>
            <source>クロス集計 ソート</source>
            <translation>Cross tab Sort</translation>
        </message>
        <message>
            <source>クロス集計 オリジナル並び表示</source>
            <translation>Cross tab Original order</translation>
        </message>
        <message>
            <source>クロス集計 セル選択</source>
            <translation>Cross tab Select cell</translation>
        </message>
        <message>
            <source>クロス集計 行選択</source>
            <translation>Cross tab Select row</translation>
        </message>
        <message>
            <source>クロス集計 列選択</source>
            <translation>Cross tab Select column</translation>
        </message>
        <message>
            <source>クロス集計 全選択</source>
            <translation>Cross tab Select all</translation>
        </message>
        <message>
            <source>クロス集計 垂直スクロール</source>
            <translation>Cross tab Vertical scroll</translation>
        </message>
        <message>
            <source>クロス集計 水平スクロール</source>
            <translation>Cross tab Horizontal scroll</translation>
        </message>
        <message>
            <source>クロス集計 マウスの回転</source>
            <translation>Cross tab Mouse wheel</translation>
        </message>
        <message>
            <source>クロス集計 キーでセル移動</source>
            <translation>Cross tab Move cell by key</translation>
        </message>
        <message>
            <source>クロス集計画面クローズ</source>
            <translation>Close cross tab window</translation>
        </message>
        <message>
            <source>クロス集計画面最大化</source>
            <translation>Maximize cross tab window</translation>
        </message>
        <message>
            <source>クロス集計画面最小化</source>
            <translation>Minimize cross tab window</translation>
        </message>
        <message>
            <source>クロス集計画面元のサイズに戻す</source>
            <translation>Restore cross tab window</translation>
        </message>
        <message>
            <source>多次元集計結果 コピー</source>
            <translation>Aggregation result Copy</translation>
        </message>
        <message>
            <source>多次元集計結果 CSVに書出し</source>
            <translation>Aggregation result Write to CSV</translation>
        </message>
        <message>
            <source>多次元集計結果 Excelに書出し</source>
            <translation>Aggregation result Write to Excel</translation>
        </message>
        <message>
            <source>フィルタの実行</source>
            <translation>Filter</translation>
        </message>
        <message>
            <source>多次元集計画面クローズ</source>
            <translation>Close aggregation window</translation>
        </message>
        <message>
            <source>多次元集計画面最大化</source>
            <translation>Maximize aggregation window</translation>
        </message>
        <message>
            <source>多次元集計画面最小化</source>
            <translation>Minimize aggregation window</translation>
        </message>
        <message>
            <source>多次元集計画面を元のサイズの戻す</source>
            <translation>Restore aggregation window</translation>
        </message>
        <message>
            <source>Excelファイル読込ダイアログ表示</source>
            <translation>Show Excel file read dialog</translation>
        </message>
        <message>
            <source>Excelファイル名</source>
            <translation>Excel file name</translation>
        </message>
        <message>
            <source>Excelシート削除</source>
            <translation>Delete Excel sheet</translation>
        </message>
        <message>
            <source>Excelシート一つ上に移動</source>
            <translation>Excel sheet up</translation>
        </message>
        <message>
            <source>Excelシート一つ下に移動</source>
            <translation>Excel sheet down</translation>
        </message>
        <message>
            <source>項目情報読込</source>
            <translation>Read item information</translation>
        </message>
        <message>
            <source>項目情報削除</source>
            <translation>Delete item information</translation>
        </message>
        <message>
            <source>項目情報編集</source>
            <translation>Update item information</translation>
        </message>
        <message>
            <source>Excelファイル読込実行</source>
            <translation>Execute Excel file read</translation>
        </message>
        <message>
            <source>Excelファイル読込キャンセル</source>
            <translation>Cancel Excel file read</translation>
        </message>
        <message>
            <source>Excelファイル追加実行</source>
            <translation>Execute Excel data addition</translation>
        </message>
        <message>
            <source>次行から項目情報読込</source>
            <translation>Read item information from next row</translation>
        </message>
        <message>
            <source>実行(&amp;R)</source>
            <translation>&amp;Execute</translation>
        </message>
        <message>
            <source>ｽﾃｯﾌﾟ実行(&amp;S)</source>
            <translation>&amp;Step through</translation>
        </message>
        <message>
            <source>名称変更(&amp;M)</source>
            <translation>&amp;Rename</translation>
        </message>
        <message>
            <source>削除(&amp;D)</source>
            <translation>&amp;Delete</translation>
        </message>
        <message>
            <source>ｲﾝﾎﾟｰﾄ(&amp;I)</source>
            <translation>&amp;Import</translation>
        </message>
        <message>
            <source>閉じる(&amp;C)</source>
            <translation>&amp;Close</translation>
        </message>
        <message>
            <source>マクロメニュー</source>
            <translation>Macro menu</translation>
        </message>
        <message>
            <source>ﾏｸﾛ名</source>
            <translation>Macro name</translation>
        </message>
        <message>
            <source>ﾏｸﾛ一覧(&amp;L)：</source>
            <translation>Macro &amp;list:</translation>
        </message>
        <message>
            <source>説明(&amp;E)：</source>
            <translation>&amp;Explanation:</translation>
        </message>
        <message>
            <source>マクロ「%1」を削除します。
削除してよろしいですか？</source>
            <translation>The macro "%1" will be deleted.
Delete it?</translation>
        </message>
        <message>
            <source>ﾏｸﾛﾌｧｲﾙ (*.mcr)</source>
            <translation>Macro file (*.mcr)</translation>
        </message>
        <message>
            <source>列番号[%1]の項目はマルチアンサ項目なのでソートできません。
マクロの実行を中止します。</source>
            <translation>The item of column [%1] is a MultiAns item, so it cannot be sorted.
The macro is stopped.</translation>
        </message>
        <message>
            <source>列番号[%1]の項目はコードまたはマルチアンサ項目でないので、コードで表示できません。
マクロの実行を中止します。</source>
            <translation>The item of column [%1] is neither a Code nor a MultiAns item, so it cannot be shown as codes.
The macro is stopped.</translation>
        </message>
        <message>
            <source>列番号[%1]の項目は整数または浮動小数項目でないので、カンマ編集できません。
マクロの実行を中止します。</source>
            <translation>The item of column [%1] is neither an Integer nor a Float item, so it cannot be shown with commas.
The macro is stopped.</translation>
        </message>
        <message>
            <source>列番号[%1]の項目は浮動小数項目でないので、小数点以下桁数を指定できません。
マクロの実行を中止します。</source>
            <translation>The item of column [%1] is not a Float item, so its decimal places cannot be set.
The macro is stopped.</translation>
        </message>
        <message>
            <source>マクロの実行を中止します。</source>
            <translation>The macro is stopped.</translation>
        </message>
        <message>
            <source>データ追加はできません。ZBQファイルから起動してください。
マクロの実行を中止します。</source>
            <translation>Data cannot be added. Please start from a ZBQ file.
The macro is stopped.</translation>
        </message>
        <message>
            <source>削除するシートがありません。
マクロの実行を中止します。</source>
            <translation>There is no sheet to delete.
The macro is stopped.</translation>
        </message>
        <message>
            <source>移動するシートがありません。
マクロの実行を中止します。</source>
            <translation>There is no sheet to move.
The macro is stopped.</translation>
        </message>
        <message>
            <source>削除する項目がありません。
マクロの実行を中止します。</source>
            <translation>There is no item to delete.
The macro is stopped.</translation>
        </message>
        <message>
            <source>項目情報を読み込むシートがありません。
マクロの実行を中止します。</source>
            <translation>There is no sheet to read item information from.
The macro is stopped.</translation>
        </message>
        <message>
            <source>編集する項目がありません。
マクロの実行を中止します。</source>
            <translation>There is no item to update.
The macro is stopped.</translation>
        </message>
        <message>
            <source>定型印刷のメニューに番号[%1]のメニューが存在しないためマクロを実行できません。
マクロの実行を中止します。</source>
            <translation>The Print menu has no entry number [%1], so the macro cannot run.
The macro is stopped.</translation>
        </message>
        <message>
            <source>固定</source>
            <translation>Fixed</translation>
        </message>
        <message>
            <source>可変</source>
            <translation>Variable</translation>
        </message>
        <message>
            <source>条件の記録</source>
            <translation>Record conditions</translation>
        </message>
        <message>
            <source>項目数</source>
            <translation>Number of items</translation>
        </message>
        <message>
            <source>%1番目の項目の項目タイプ</source>
            <translation>Item type of item %1</translation>
        </message>
        <message>
            <source>%1番目の項目のCSVファイル項目順</source>
            <translation>CSV column of item %1</translation>
        </message>
        <message>
            <source>%1番目の項目のグループ</source>
            <translation>Group of item %1</translation>
        </message>
        <message>
            <source>CodeとMultiAns項目の数</source>
            <translation>Number of Code and MultiAns items</translation>
        </message>
        <message>
            <source>%1番目の項目に相当するコード情報がありません</source>
            <translation>Item %1 has no matching code information</translation>
        </message>
        <message>
            <source>%1番目の項目のコード数</source>
            <translation>Number of codes of item %1</translation>
        </message>
        <message>
            <source>%1番目の項目の%2番目のコード</source>
            <translation>Code %2 of item %1</translation>
        </message>
        <message>
            <source>参照...</source>
            <translation>Browse</translation>
        </message>
        <message>
            <source>可変条件の入力</source>
            <translation>Enter variable condition</translation>
        </message>
        <message>
            <source>ファイル名に使用できない文字が含まれています。</source>
            <translation>The name contains characters a file name cannot hold.</translation>
        </message>
        <message>
            <source>入力して下さい｡</source>
            <translation>Please enter a value.</translation>
        </message>
        <message>
            <source>ｽﾃｯﾌﾟ名</source>
            <translation>Step name</translation>
        </message>
        <message>
            <source>ｺﾏﾝﾄﾞ</source>
            <translation>Command</translation>
        </message>
        <message>
            <source>ステップ</source>
            <translation>Step</translation>
        </message>
        <message>
            <source>中止</source>
            <translation>Abort</translation>
        </message>
        <message>
            <source>作業リスト</source>
            <translation>Work list</translation>
        </message>
    </context>
</TS>
