<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
    <context>
        <name>ZBQ</name>
        <message>
            <source>＜未定義です＞</source>
            <translation>&lt;undefined&gt;</translation>
        </message>
        <message>
            <source>カテゴリファイル[%1]を読み込めません。</source>
            <translation>The category file [%1] cannot be read.</translation>
        </message>
        <message>
            <source>カテゴリファイル[%1]の%2行目が不正です。</source>
            <translation>Line %2 of the category file [%1] is not valid.</translation>
        </message>
        <message>
            <source>ファイルの書出しに失敗しました。</source>
            <translation>Writing the file failed.</translation>
        </message>
        <message>
            <source>小分類項目</source>
            <translation>Small classes</translation>
        </message>
        <message>
            <source>中分類項目</source>
            <translation>Middle classes</translation>
        </message>
        <message>
            <source>大分類項目</source>
            <translation>Large classes</translation>
        </message>
        <message>
            <source>小分類編集</source>
            <translation>Edit small class</translation>
        </message>
        <message>
            <source>中分類編集</source>
            <translation>Edit middle class</translation>
        </message>
        <message>
            <source>大分類編集</source>
            <translation>Edit large class</translation>
        </message>
        <message>
            <source>ｶﾃｺﾞﾘｰへ登録</source>
            <translation>Register category</translation>
        </message>
        <message>
            <source>ｸﾘｱ</source>
            <translation>Clear</translation>
        </message>
        <message>
            <source>ﾘｾｯﾄ</source>
            <translation>Reset</translation>
        </message>
        <message>
            <source>定義のｲﾝﾎﾟｰﾄ</source>
            <translation>Import definition</translation>
        </message>
        <message>
            <source>名称　</source>
            <translation>Name</translation>
        </message>
        <message>
            <source>ﾀｲﾌﾟ</source>
            <translation>Type</translation>
        </message>
        <message>
            <source>ｶﾃｺﾞﾘﾌｧｲﾙ (*.ctg)</source>
            <translation>Category file (*.ctg)</translation>
        </message>
        <message>
            <source>ｶﾃｺﾞﾘｰ定義名称          </source>
            <translation>Category definition name</translation>
        </message>
        <message>
            <source>タイプ</source>
            <translation>Type</translation>
        </message>
        <message>
            <source>小分類数</source>
            <translation>Small classes</translation>
        </message>
        <message>
            <source>中分類数</source>
            <translation>Middle classes</translation>
        </message>
        <message>
            <source>大分類数</source>
            <translation>Large classes</translation>
        </message>
        <message>
            <source>  定義を表示</source>
            <translation>  Display definition</translation>
        </message>
        <message>
            <source>  削除</source>
            <translation>  Delete</translation>
        </message>
        <message>
            <source>  定義のｲﾝﾎﾟｰﾄ</source>
            <translation>  Import definition</translation>
        </message>
        <message>
            <source>  定義のｴｸｽﾎﾟｰﾄ</source>
            <translation>  Export definition</translation>
        </message>
        <message>
            <source>予約語othersは最終行のみ定義可能です</source>
            <translation>The reserved word others can only be defined on the last row</translation>
        </message>
        <message>
            <source>Universal定義で使用出来る値は予約語のみです</source>
            <translation>A Universal definition can only use reserved words as values</translation>
        </message>
        <message>
            <source>VAL1の値がINT値として適当ではありません</source>
            <translation>The value of VAL1 is not a valid INT value</translation>
        </message>
        <message>
            <source>VAL2の値がINT値として適当ではありません</source>
            <translation>The value of VAL2 is not a valid INT value</translation>
        </message>
        <message>
            <source>VAL1の値がFloat値として適当ではありません</source>
            <translation>The value of VAL1 is not a valid Float value</translation>
        </message>
        <message>
            <source>VAL2の値がFloat値として適当ではありません</source>
            <translation>The value of VAL2 is not a valid Float value</translation>
        </message>
        <message>
            <source>VAL1の値がDate値として適当ではありません</source>
            <translation>The value of VAL1 is not a valid Date value</translation>
        </message>
        <message>
            <source>VAL2の値がDate値として適当ではありません</source>
            <translation>The value of VAL2 is not a valid Date value</translation>
        </message>
        <message>
            <source>VAL1の値がTime値として適当ではありません</source>
            <translation>The value of VAL1 is not a valid Time value</translation>
        </message>
        <message>
            <source>VAL2の値がTime値として適当ではありません</source>
            <translation>The value of VAL2 is not a valid Time value</translation>
        </message>
        <message>
            <source>VAL1の値がCODE値として適当ではありません</source>
            <translation>The value of VAL1 is not a valid CODE value</translation>
        </message>
        <message>
            <source>VAL2の値がCODE値として適当ではありません</source>
            <translation>The value of VAL2 is not a valid CODE value</translation>
        </message>
        <message>
            <source>値が2重定義されています</source>
            <translation>The value is defined twice</translation>
        </message>
        <message>
            <source>同一の定義名が存在します</source>
            <translation>A definition of the same name exists</translation>
        </message>
        <message>
            <source>予約語の演算子には"="のみです</source>
            <translation>A reserved word only takes the operator "="</translation>
        </message>
        <message>
            <source>String定義で使用出来る演算子は"="または"!"のみです</source>
            <translation>A String definition can only use the operators "=" or "!"</translation>
        </message>
        <message>
            <source>中分類定義で使用出来る予約語はothersのみです</source>
            <translation>A middle class definition can only use the reserved word others</translation>
        </message>
        <message>
            <source>指定された値は小分類名に存在しません</source>
            <translation>The value given is not the name of a small class</translation>
        </message>
        <message>
            <source>大分類定義で使用出来る予約語はothersのみです</source>
            <translation>A large class definition can only use the reserved word others</translation>
        </message>
        <message>
            <source>指定された値は中分類名に存在しません</source>
            <translation>The value given is not the name of a middle class</translation>
        </message>
        <message>
            <source>追加</source>
            <translation>Add</translation>
        </message>
        <message>
            <source>上書き</source>
            <translation>Overwrite</translation>
        </message>
        <message>
            <source>上へ</source>
            <translation>Toward top</translation>
        </message>
        <message>
            <source>下へ</source>
            <translation>Toward bottom</translation>
        </message>
        <message>
            <source>登録</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>小分類項目　定義一覧</source>
            <translation>Small class definitions</translation>
        </message>
        <message>
            <source>条件</source>
            <translation>Condition</translation>
        </message>
        <message>
            <source>n1 の値</source>
            <translation>Value of n1</translation>
        </message>
        <message>
            <source>n2 の値</source>
            <translation>Value of n2</translation>
        </message>
        <message>
            <source>中分類/大分類　定義一覧</source>
            <translation>Middle/large class definitions</translation>
        </message>
        <message>
            <source>名称</source>
            <translation>Name</translation>
        </message>
        <message>
            <source>小分類定義一覧</source>
            <translation>Small class definitions</translation>
        </message>
        <message>
            <source>中分類定義一覧</source>
            <translation>Middle class definitions</translation>
        </message>
        <message>
            <source>名称を入力して下さい</source>
            <translation>Please enter a name</translation>
        </message>
        <message>
            <source>定義を入力して下さい</source>
            <translation>Please enter a definition</translation>
        </message>
        <message>
            <source>未定義のデータです</source>
            <translation>Undefined data</translation>
        </message>
        <message>
            <source>条件を入力して下さい</source>
            <translation>Please enter a condition</translation>
        </message>
        <message>
            <source>Ｘの値を入力して下さい</source>
            <translation>Please enter the value of X</translation>
        </message>
        <message>
            <source>Ｙの値を入力して下さい</source>
            <translation>Please enter the value of Y</translation>
        </message>
        <message>
            <source>数字</source>
            <translation>Number</translation>
        </message>
        <message>
            <source>項目%1処理中</source>
            <translation>Processing item %1</translation>
        </message>
        <message>
            <source>データ解析中</source>
            <translation>Analysing data</translation>
        </message>
        <message>
            <source>ｺﾝｿｰﾙ (Main Navigator)</source>
            <translation>Console (Main Navigator)</translation>
        </message>
        <message>
            <source>ｼｽﾃﾑ</source>
            <translation>System</translation>
        </message>
        <message>
            <source>項目選択</source>
            <translation>Select item</translation>
        </message>
        <message>
            <source>ﾃﾞｰﾀ選択</source>
            <translation>Select data</translation>
        </message>
        <message>
            <source>ﾘｱﾙﾀｲﾑOLAP</source>
            <translation>OLAP</translation>
        </message>
        <message>
            <source>多次元集計</source>
            <translation>MOLAP</translation>
        </message>
        <message>
            <source>ﾛｸﾞ</source>
            <translation>Log</translation>
        </message>
        <message>
            <source>ﾌｨﾙﾀ実行</source>
            <translation>Execute filter</translation>
        </message>
        <message>
            <source>ﾌｨﾙﾀ条件:</source>
            <translation>Condition:</translation>
        </message>
        <message>
            <source>編集</source>
            <translation>Edit</translation>
        </message>
        <message>
            <source>項目名    </source>
            <translation>Item name    </translation>
        </message>
        <message>
            <source>検索条件　　　　      </source>
            <translation>Search condition      </translation>
        </message>
        <message>
            <source>文字列  </source>
            <translation>Text  </translation>
        </message>
        <message>
            <source>和集合(A+B)</source>
            <translation>Union(A+B)</translation>
        </message>
        <message>
            <source>積集合(A*B)</source>
            <translation>Product(A*B)</translation>
        </message>
        <message>
            <source>差集合(A-B)</source>
            <translation>Difference(A-B)</translation>
        </message>
        <message>
            <source>補集合(-B)</source>
            <translation>Complement(-B)</translation>
        </message>
        <message>
            <source>閉を許す</source>
            <translation>Allow close</translation>
        </message>
        <message>
            <source>全て展開</source>
            <translation>Expand all</translation>
        </message>
        <message>
            <source>全て閉じる</source>
            <translation>Close all</translation>
        </message>
        <message>
            <source>変更する項目が選ばれていません</source>
            <translation>No item to change is selected</translation>
        </message>
        <message>
            <source>項目［%1］を検索条件から削除しますか？</source>
            <translation>Delete item [%1] from the search conditions?</translation>
        </message>
        <message>
            <source>検索が出来ません！検索式のチェックが必要です</source>
            <translation>Cannot search! The search expression must be checked</translation>
        </message>
        <message>
            <source>X軸項目名</source>
            <translation>X-axis items</translation>
        </message>
        <message>
            <source>Y軸項目名</source>
            <translation>Y-axis items</translation>
        </message>
        <message>
            <source>集計項目名</source>
            <translation>Aggregated items</translation>
        </message>
        <message>
            <source>内容</source>
            <translation>Contents</translation>
        </message>
        <message>
            <source>ﾌｨﾙﾀ条件</source>
            <translation>Filter condition</translation>
        </message>
        <message>
            <source>指定項目名</source>
            <translation>Item</translation>
        </message>
        <message>
            <source>第１条件</source>
            <translation>First condition</translation>
        </message>
        <message>
            <source>第２条件</source>
            <translation>Second condition</translation>
        </message>
        <message>
            <source>数値が不正です</source>
            <translation>The number is not valid</translation>
        </message>
        <message>
            <source>日付が不正です</source>
            <translation>The date is not valid</translation>
        </message>
        <message>
            <source>時刻が不正です</source>
            <translation>The time is not valid</translation>
        </message>
        <message>
            <source>指定項目名を選択して下さい</source>
            <translation>Please choose an item</translation>
        </message>
        <message>
            <source>条件を選択して下さい</source>
            <translation>Please choose a condition</translation>
        </message>
        <message>
            <source>値を入力して下さい</source>
            <translation>Please enter a value</translation>
        </message>
        <message>
            <source>表示ﾘｽﾄへ</source>
            <translation>To Display List</translation>
        </message>
        <message>
            <source>非表示に</source>
            <translation>Hide</translation>
        </message>
        <message>
            <source>全て表示ﾘｽﾄへ</source>
            <translation>All to display list</translation>
        </message>
        <message>
            <source>全て非表示に</source>
            <translation>Hide all</translation>
        </message>
        <message>
            <source>閉を許可</source>
            <translation>Allow close</translation>
        </message>
        <message>
            <source>全て選択</source>
            <translation>Select all</translation>
        </message>
        <message>
            <source>ﾃﾞｰﾀ表示</source>
            <translation>Show data</translation>
        </message>
        <message>
            <source>ZBQに書出し</source>
            <translation>Write to ZB</translation>
        </message>
        <message>
            <source>ﾃﾞｰﾀ追加</source>
            <translation>Add data</translation>
        </message>
        <message>
            <source>名前</source>
            <translation>Name</translation>
        </message>
        <message>
            <source>データ追加はできません。ZBQファイルから起動してください。</source>
            <translation>Data cannot be added. Please start from a ZBQ file.</translation>
        </message>
        <message>
            <source>データ選択の履歴が全て破棄されてしまいます。よろしいですか？</source>
            <translation>The whole history of the data selection will be discarded. Continue?</translation>
        </message>
        <message>
            <source>Excelファイル (*.xls *.xlsx)</source>
            <translation>Excel file (*.xls *.xlsx)</translation>
        </message>
        <message>
            <source>ファイル形式が見つかりません。</source>
            <translation>The file format was not found.</translation>
        </message>
        <message>
            <source>ファイル形式が間違っています。</source>
            <translation>The file format is wrong.</translation>
        </message>
        <message>
            <source>ファイル形式が違います。追加できません。</source>
            <translation>The file format differs. It cannot be added.</translation>
        </message>
        <message>
            <source>データがロードされていません
そのため、表示リストに加えることはできません</source>
            <translation>No data is loaded,
so nothing can be added to the display list</translation>
        </message>
        <message>
            <source>表示項目を１つ以上選んでください</source>
            <translation>Please choose one or more items to show.</translation>
        </message>
        <message>
            <source>検索[</source>
            <translation>Search[</translation>
        </message>
        <message>
            <source> 件</source>
            <translation> records</translation>
        </message>
        <message>
            <source> 件 → </source>
            <translation> records → </translation>
        </message>
        <message>
            <source> ﾐﾘ秒</source>
            <translation> ms</translation>
        </message>
        <message>
            <source>ｿｰﾄ[</source>
            <translation>Sort[</translation>
        </message>
        <message>
            <source>昇順</source>
            <translation>Ascending</translation>
        </message>
        <message>
            <source>降順</source>
            <translation>Descending</translation>
        </message>
        <message>
            <source>ｵﾘｼﾞﾅﾙ昇順</source>
            <translation>Original order</translation>
        </message>
        <message>
            <source>ｸﾛｽ集計(</source>
            <translation>Cross tab (</translation>
        </message>
        <message>
            <source>[X：</source>
            <translation>[X: </translation>
        </message>
        <message>
            <source>][Y：</source>
            <translation>][Y: </translation>
        </message>
        <message>
            <source>][Z：</source>
            <translation>][Z: </translation>
        </message>
        <message>
            <source>ﾄﾞﾘﾙｽﾙｰ[X：</source>
            <translation>Drill through[X: </translation>
        </message>
        <message>
            <source> ﾚｺｰﾄﾞ</source>
            <translation> records</translation>
        </message>
        <message>
            <source> ﾚｺｰﾄﾞ -&gt; </source>
            <translation> records -&gt; </translation>
        </message>
        <message>
            <source>X軸へ</source>
            <translation>To X axis</translation>
        </message>
        <message>
            <source>Y軸へ</source>
            <translation>To Y axis</translation>
        </message>
        <message>
            <source>集計へ</source>
            <translation>To aggregate</translation>
        </message>
        <message>
            <source>実行</source>
            <translation>Execute</translation>
        </message>
        <message>
            <source>クリア</source>
            <translation>Clear</translation>
        </message>
        <message>
            <source>X 計を表示をしない</source>
            <translation>X no totals</translation>
        </message>
        <message>
            <source>X 総計を表示</source>
            <translation>X grand total</translation>
        </message>
        <message>
            <source>X 中間計と総計を表示</source>
            <translation>X subtotals and grand total</translation>
        </message>
        <message>
            <source>Y 計を表示をしない</source>
            <translation>Y no totals</translation>
        </message>
        <message>
            <source>Y 総計を表示</source>
            <translation>Y grand total</translation>
        </message>
        <message>
            <source>Y 中間計と総計を表示</source>
            <translation>Y subtotals and grand total</translation>
        </message>
        <message>
            <source>表示小数点以下桁数</source>
            <translation>Decimal places shown</translation>
        </message>
        <message>
            <source>年/月/日</source>
            <translation>Year/Month/Day</translation>
        </message>
        <message>
            <source>年</source>
            <translation>Year</translation>
        </message>
        <message>
            <source>月</source>
            <translation>Month</translation>
        </message>
        <message>
            <source>日</source>
            <translation>Day</translation>
        </message>
        <message>
            <source>半期</source>
            <translation>Half year</translation>
        </message>
        <message>
            <source>四半期</source>
            <translation>Quarter</translation>
        </message>
        <message>
            <source>単位の設定</source>
            <translation>Set unit</translation>
        </message>
        <message>
            <source>単位設定の解除</source>
            <translation>Clear unit</translation>
        </message>
        <message>
            <source>（年）</source>
            <translation> (year)</translation>
        </message>
        <message>
            <source>（月）</source>
            <translation> (month)</translation>
        </message>
        <message>
            <source>（日）</source>
            <translation> (day)</translation>
        </message>
        <message>
            <source>（年/月）</source>
            <translation> (year/month)</translation>
        </message>
        <message>
            <source>（四半期）</source>
            <translation> (quarter)</translation>
        </message>
        <message>
            <source>（半期）</source>
            <translation> (half year)</translation>
        </message>
        <message>
            <source>（1,000:切り捨て）</source>
            <translation> (1,000: round down)</translation>
        </message>
        <message>
            <source>（1,000:切り上げ）</source>
            <translation> (1,000: round up)</translation>
        </message>
        <message>
            <source>（1,000:四捨五入）</source>
            <translation> (1,000: round off)</translation>
        </message>
        <message>
            <source>（100万:切り捨て）</source>
            <translation> (1,000,000: round down)</translation>
        </message>
        <message>
            <source>（100万:切り上げ）</source>
            <translation> (1,000,000: round up)</translation>
        </message>
        <message>
            <source>（100万:四捨五入）</source>
            <translation> (1,000,000: round off)</translation>
        </message>
        <message>
            <source>件数</source>
            <translation>Records</translation>
        </message>
        <message>
            <source>合計</source>
            <translation>Sum</translation>
        </message>
        <message>
            <source>平均</source>
            <translation>Average</translation>
        </message>
        <message>
            <source>最大値</source>
            <translation>Maximum value</translation>
        </message>
        <message>
            <source>最小値</source>
            <translation>Minimum value</translation>
        </message>
        <message>
            <source>これ以上設定できません。設定できる項目数は５項目までです。</source>
            <translation>No more can be set. Up to 5 items can be set.</translation>
        </message>
        <message>
            <source>指定の項目は既に設定されています。</source>
            <translation>The item is already set.</translation>
        </message>
        <message>
            <source>X軸，Y軸に項目を設定してください。</source>
            <translation>Please set items on the X and Y axes.</translation>
        </message>
        <message>
            <source>Ｘ軸、Ｙ軸の指定が不正です</source>
            <translation>The X and Y axes are not valid</translation>
        </message>
        <message>
            <source>％順位値の値が異常です</source>
            <translation>The % order value is not valid</translation>
        </message>
        <message>
            <source>この集計にはＺ軸指定が必要です</source>
            <translation>This aggregation needs a Z item</translation>
        </message>
        <message>
            <source>この項目の合計・平均は算出できません</source>
            <translation>The sum and average of this item cannot be computed</translation>
        </message>
        <message>
            <source>この項目の合計は算出できません</source>
            <translation>The sum of this item cannot be computed</translation>
        </message>
        <message>
            <source>選択なし</source>
            <translation>None</translation>
        </message>
        <message>
            <source>件数(Ｚ指定不要)</source>
            <translation>Records (Z not needed)</translation>
        </message>
        <message>
            <source>ﾕﾆｰｸ件数</source>
            <translation>Unique records</translation>
        </message>
        <message>
            <source>％順位(上から)</source>
            <translation>% order (from top)</translation>
        </message>
        <message>
            <source>OLAP表示</source>
            <translation>OLAP display</translation>
        </message>
        <message>
            <source>X軸→</source>
            <translation>X axis</translation>
        </message>
        <message>
            <source>Y軸↓</source>
            <translation>Y axis</translation>
        </message>
        <message>
            <source>集計対象値（Z）↓  ％順位↓</source>
            <translation>Sum target values (Z)   % order</translation>
        </message>
        <message>
            <source>　%1 行目を読込中です。</source>
            <translation> Reading line %1.</translation>
        </message>
        <message>
            <source>元データを保存する</source>
            <translation>Save original data</translation>
        </message>
        <message>
            <source>表示中の集合データだけを保存する</source>
            <translation>Save display set data only</translation>
        </message>
        <message>
            <source>閉じる</source>
            <translation>Close</translation>
        </message>
        <message>
            <source>ｱｲｺﾝ化</source>
            <translation>Iconize</translation>
        </message>
        <message>
            <source>元の大きさ</source>
            <translation>Original size</translation>
        </message>
        <message>
            <source>最大化</source>
            <translation>Maximize</translation>
        </message>
        <message>
            <source>全てをｱｲｺﾝ化</source>
            <translation>Iconize all</translation>
        </message>
        <message>
            <source>全てを閉じる</source>
            <translation>Close all</translation>
        </message>
        <message>
            <source> 表形式データの集計・分析システム</source>
            <translation> Tabular data aggregation and analysis system</translation>
        </message>
        <message>
            <source>  全メモリー  </source>
            <translation>  Total memory    </translation>
        </message>
        <message>
            <source>  全仮想記憶  </source>
            <translation>  Virtual memory  </translation>
        </message>
        <message>
            <source> ﾊﾞｲﾄ</source>
            <translation> bytes</translation>
        </message>
        <message>
            <source>100万</source>
            <translation>1 million</translation>
        </message>
        <message>
            <source>10億</source>
            <translation>1 billion</translation>
        </message>
        <message>
            <source>切り捨て</source>
            <translation>Round down</translation>
        </message>
        <message>
            <source>切り上げ</source>
            <translation>Round up</translation>
        </message>
        <message>
            <source>四捨五入</source>
            <translation>Round off</translation>
        </message>
        <message>
            <source>単位</source>
            <translation>Unit</translation>
        </message>
        <message>
            <source>端数の処理</source>
            <translation>Fractions</translation>
        </message>
    </context>
</TS>
