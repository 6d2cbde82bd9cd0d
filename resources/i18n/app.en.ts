<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
    <context>
        <name>ZBQ</name>
        <message>
            <source>Excelファイルのデータを追加しました</source>
            <translation>The data of the Excel file was added</translation>
        </message>
        <message>
            <source>ZBQファイルのオープンに失敗しました。</source>
            <translation>The ZBQ file could not be opened.</translation>
        </message>
        <message>
            <source>内部データの取得に失敗しました</source>
            <translation>The internal data could not be read</translation>
        </message>
        <message>
            <source>データがロードされるまでお待ちください</source>
            <translation>Please wait until the data is loaded</translation>
        </message>
        <message>
            <source>エクセルの起動に失敗しました</source>
            <translation>Excel could not be started</translation>
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
            <translation>Start &amp;recording	Ctrl+R</translation>
        </message>
        <message>
            <source>記録終了(&amp;E)	Ctrl+E</source>
            <translation>&amp;End recording	Ctrl+E</translation>
        </message>
        <message>
            <source>ﾏｸﾛﾒﾆｭｰ表示(&amp;M)	Ctrl+M</source>
            <translation>&amp;Macro menu	Ctrl+M</translation>
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
    </context>
</TS>
