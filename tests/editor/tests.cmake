# Tests of src/editor.
deskword_add_test(editor_layout_test editor/EditorLayoutTest.cpp editor/EditorFixture.h)
deskword_add_test(editor_commands_test editor/EditorCommandsTest.cpp editor/EditorFixture.h)
deskword_add_test(editor_picture_preview_test editor/PicturePreviewTest.cpp editor/EditorFixture.h)
deskword_add_test(editor_scroll_sync_test editor/ScrollSyncTest.cpp)
deskword_add_test(editor_picture_choice_test editor/PictureChoiceTest.cpp editor/EditorFixture.h)
deskword_add_test(editor_long_text_test editor/LongTextTest.cpp editor/EditorFixture.h)
deskword_add_test(editor_memory_test editor/EditorMemoryTest.cpp editor/EditorFixture.h)
