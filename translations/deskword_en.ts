<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>FontChooser</name>
    <message>
        <source>フォント</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>フォント名</source>
        <translation>Font name</translation>
    </message>
    <message>
        <source>スタイル</source>
        <translation>Style</translation>
    </message>
    <message>
        <source>サイズ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>サンプル</source>
        <translation>Sample</translation>
    </message>
</context>
<context>
    <name>Form3</name>
    <message>
        <source>実行</source>
        <translation>Execute</translation>
    </message>
    <message>
        <source>フォント設定</source>
        <translation>Font...</translation>
    </message>
    <message>
        <source>色設定</source>
        <translation>Colour...</translation>
    </message>
    <message>
        <source>画像...</source>
        <translation>Picture...</translation>
    </message>
    <message>
        <source>画像なし</source>
        <translation>No picture</translation>
    </message>
    <message>
        <source>この文字列には%1文字より長い行があり、ここでは編集できません。長い行は短くして表示しています。デスクトップと設定の文字列はそのまま残ります。新しい文字列にするには、すべて選択（Ctrl+A）してから入力してください。</source>
        <translation>This text has a line longer than %1 characters, too long to edit here. Long lines are shown shortened; the text on the desktop and in the settings stays as it is. To write a new text, select all (Ctrl+A) and type.</translation>
    </message>
</context>
<context>
    <name>PictureDialog</name>
    <message>
        <source>画像を選ぶ</source>
        <translation>Choose a picture</translation>
    </message>
    <message>
        <source>画像ファイル</source>
        <translation>Pictures</translation>
    </message>
    <message>
        <source>すべてのファイル</source>
        <translation>All files</translation>
    </message>
</context>
<context>
    <name>SettingsFile</name>
    <message>
        <source>ファイルが大きすぎます（16 MiB まで）。</source>
        <translation>The file is too large (at most 16 MiB).</translation>
    </message>
    <message>
        <source>通常のファイルではありません。</source>
        <translation>It is not a regular file.</translation>
    </message>
    <message>
        <source>設定ファイルを読み込めませんでした。</source>
        <translation>The settings file could not be read.</translation>
    </message>
    <message>
        <source>設定ファイルを保存できませんでした。</source>
        <translation>The settings file could not be saved.</translation>
    </message>
    <message>
        <source>プログラムのフォルダーに書き込めないため、設定は次のファイルに保存されます。</source>
        <translation>The program&apos;s folder cannot be written to, so the settings are saved in this file:</translation>
    </message>
</context>
<context>
    <name>frmMenu</name>
    <message>
        <source>編集</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>画像表示</source>
        <translation>Picture display</translation>
    </message>
    <message>
        <source>文字の手前</source>
        <translation>In front of the text</translation>
    </message>
    <message>
        <source>文字の背後</source>
        <translation>Behind the text</translation>
    </message>
    <message>
        <source>非表示</source>
        <translation>Hidden</translation>
    </message>
    <message>
        <source>バージョン情報</source>
        <translation>About Deskword</translation>
    </message>
    <message>
        <source>ログイン時に起動</source>
        <translation>Start at login</translation>
    </message>
    <message>
        <source>全画面表示のときは隠す</source>
        <translation>Hide over full-screen windows</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>frm_Version</name>
    <message>
        <source>バージョン情報</source>
        <translation>About Deskword</translation>
    </message>
</context>
<context>
    <name>mod_RGN_Proc</name>
    <message>
        <source>It failed in reading of region data.</source>
        <translation>It failed in reading of region data.</translation>
    </message>
    <message>
        <source>It failed in plastic surgery of a window.</source>
        <translation>It failed in plastic surgery of a window.</translation>
    </message>
</context>
<context>
    <name>mod_RGN_Proc_Plus</name>
    <message>
        <source>画像サイズが大きすぎます。</source>
        <translation>The picture is too large.</translation>
    </message>
    <message>
        <source>文字列が大きすぎます。</source>
        <translation>The text is too large.</translation>
    </message>
    <message>
        <source>The picture file cannot be read:</source>
        <translation>The picture file cannot be read:</translation>
    </message>
    <message>
        <source>この画像は形が細かすぎます（写真など）。背景が一色の画像を選んでください。</source>
        <translation>This picture's outline is too detailed for a shape (a photograph?). Choose a picture with a plain background.</translation>
    </message>
</context>
</TS>
