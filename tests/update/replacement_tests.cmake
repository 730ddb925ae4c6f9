# Tests of the replacement part of the online update.
