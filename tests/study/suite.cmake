vellumdeck_add_suite(study_tests study GUI LIBS vdstudy Qt6::Test)
