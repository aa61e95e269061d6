# ctest starts the tests of the highest cost first; after a run it keeps
# their times and goes by those. These are the window tests that take ten
# seconds or more, with their seconds on a 2-core machine.
foreach(entry
    "Slices/ShockwaveFlashRecovery.EveryFetchPlaysItsOwnMovieAfterAnyFailure/5|26"
    "Slices/ShockwaveFlashRecovery.EveryFetchPlaysItsOwnMovieAfterAnyFailure/3|26"
    "Form2Buttons.ALoopingPageCannotHoldTheWindow|18"
    "Slices/ShockwaveFlashRecovery.EveryFetchPlaysItsOwnMovieAfterAnyFailure/4|17"
    "Slices/ShockwaveFlashRecovery.EveryFetchPlaysItsOwnMovieAfterAnyFailure/2|16"
    "LeaveWatch.ASpinningPageIsEndedWithoutPidfds|15"
    "Kinds/HostilePageLoops.CannotHoldEitherBrowser/open  # GetParam() = \"open\"|14"
    "Kinds/HostilePageLoops.CannotHoldEitherBrowser/confirm  # GetParam() = \"confirm\"|13"
    "HostilePage.OnlyAPageThatArrivesCounts|12"
    "Slices/ShockwaveFlashRecovery.EveryFetchPlaysItsOwnMovieAfterAnyFailure/1|12"
    "Slices/ShockwaveFlashRecovery.EveryFetchPlaysItsOwnMovieAfterAnyFailure/7|11"
    "Kinds/HostilePageLoops.CannotHoldEitherBrowser/alert  # GetParam() = \"alert\"|11"
    "Form2Watch.AReloadingAdvertKeepsItsPaceOnAWatchedVideoPage|11"
    "Slices/ShockwaveFlashRecovery.EveryFetchPlaysItsOwnMovieAfterAnyFailure/6|10")
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 name)
  list(GET entry 1 seconds)
  set_tests_properties("${name}" PROPERTIES COST ${seconds})
endforeach()
