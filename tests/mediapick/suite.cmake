vellumdeck_add_suite(mediapick_tests mediapick GUI LIBS mediapick Qt6::Test)
