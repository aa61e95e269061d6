# ctest starts the tests of the highest cost first; after a run it keeps
# their times and goes by those. These are the window tests that take ten
# seconds or more, with their seconds on a 2-core machine.
foreach(entry
    "Slices/ShockwaveFlashRecovery.EveryFetchPlaysItsOwnMovieAfterAnyFailure/3=35"
    "Slices/ShockwaveFlashRecovery.EveryFetchPlaysItsOwnMovieAfterAnyFailure/5=21"
    "Slices/ShockwaveFlashRecovery.EveryFetchPlaysItsOwnMovieAfterAnyFailure/1=17"
    "Slices/ShockwaveFlashRecovery.EveryFetchPlaysItsOwnMovieAfterAnyFailure/6=16"
    "Slices/ShockwaveFlashRecovery.EveryFetchPlaysItsOwnMovieAfterAnyFailure/2=15"
    "Form2Buttons.ALoopingPageCannotHoldTheWindow=14"
    "Slices/ShockwaveFlashRecovery.EveryFetchPlaysItsOwnMovieAfterAnyFailure/7=13"
    "ShockwaveFlash.MoviesSwitchInTheRunningPlayerOrInANewPage=13"
    "LeaveWatch.ASpinningPageIsEndedWithoutPidfds=12"
    "Form2Close.EveryWayBringsForm1BackAndReopensFresh=12"
    "Form2Watch.AReloadingAdvertKeepsItsPaceOnAWatchedVideoPage=12"
    "Form2NewWindows.TwoQuickRequestsLeaveThePageOnScreenInTheField=11"
    "Form2AutomaticFetch.EachParserOutcome=11"
    "HostilePage.OnlyAPageThatArrivesCounts=11")
  string(REPLACE "=" ";" entry "${entry}")
  list(GET entry 0 name)
  list(GET entry 1 seconds)
  set_tests_properties("${name}" PROPERTIES COST ${seconds})
endforeach()
