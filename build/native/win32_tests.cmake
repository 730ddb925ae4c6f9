subdirs("/work/main/build/win32")
